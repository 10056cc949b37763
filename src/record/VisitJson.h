#pragma once
// A visit as one line of JSON: the JSON Lines export and what import reads.
// Keys in a fixed order, no spaces, UTF-8 as it is: the same visit gives the
// same bytes in every door. Reading refuses anything that is not a whole visit,
// with the reason, and never gives half a visit.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Visit.h"

namespace vyx {

/// What a visit line's first keys say it is, and the format this tool writes.
inline constexpr std::string_view VisitRecordName = "vyx-visit";
inline constexpr int VisitFormat = 1;

/// The visit's line, without the line end.
std::string VisitLine(const Visit& visit);

struct VisitParse {
    std::optional<Visit> Found;
    std::string Reason;  // why the line is refused, in the user's words
};

/// The visit of one line (a line end at its close is allowed).
VisitParse ParseVisitLine(std::string_view line);

/// A step as a store keeps it: its kind (StepKindText) and its body (StepBody).
struct StoredStep {
    std::string Kind;
    std::string Body;
};

/// A visit from what a store keeps: the head, the steps in order, the log lines.
/// A body that does not read, or whose kind is not the row's, refuses the visit.
VisitParse RebuildVisit(VisitHead head, const std::vector<StoredStep>& steps,
                        std::vector<std::string> logLines);

}  // namespace vyx
