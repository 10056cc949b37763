#pragma once
// Inside the record's JSON: the step objects a visit's line holds, and a reader
// of one object's keys that stops at the first wrong one with why. Nothing here
// throws (the page's build has no exceptions).

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "VisitStep.h"

namespace vyx::record_json {

using Json = nlohmann::ordered_json;

/// The one way the record writes JSON: no spaces, UTF-8 as it is, bad sequences
/// replaced (typed texts are already repaired; this is the last guard).
std::string Dump(const Json& value);

/// With `withValues` a block also says what it decodes to (the export's
/// readers want the values; a store keeps the bytes only).
Json StepObject(const VisitStep& step, bool withValues);
/// `where` prefixes the reasons ("passo 3: ").
StepParse StepFromObject(const Json& object, const std::string& where);

/// Reads the keys of one object; the first problem is kept as Reason and every
/// later read fails. `where` prefixes the reasons ("passo 3: ").
class ObjectReader {
public:
    ObjectReader(const Json& object, std::string where);

    bool Ok() const { return Reason.empty(); }
    /// A text; absent keys leave `out` empty unless `required`.
    void Text(std::string_view key, std::string& out, bool required, std::size_t cap);
    /// A whole number from 0 to `max`.
    void Number(std::string_view key, std::optional<std::int64_t>& out, std::int64_t min,
                std::int64_t max);
    void Flag(std::string_view key, bool& out);
    /// The value under `key` when it is of `type`, else nothing (and a reason if
    /// it is there with another type).
    const Json* Member(std::string_view key, Json::value_t type);
    /// Refuses keys that were never asked for; call once after the reads.
    void RefuseUnknown();
    void Fail(const std::string& why);

    std::string Reason;

private:
    const Json* Find(std::string_view key);

    const Json& object;
    std::string where;
    // The keys asked for: the readers' own constant names, a handful an object.
    std::vector<std::string_view> asked;
};

}  // namespace vyx::record_json
