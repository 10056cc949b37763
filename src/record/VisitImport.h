#pragma once
// Reading a JSON Lines export back, line by line as its bytes come (a file on
// the desktop, the browser's file stream in the page), never the whole file at
// once. Each good line hands over one whole visit; a bad line is skipped with
// its number and reason; a file whose first line is not a visit is refused.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Visit.h"

namespace vyx {

struct SkippedLine {
    std::size_t Line = 0;  // 1-based
    std::string Reason;
    /// "linha 3: não é JSON"
    std::string Text() const;
};

class VisitImport {
public:
    /// Larger files are refused before a byte is read.
    static constexpr std::uint64_t MaxFileBytes = std::uint64_t{512} * 1024 * 1024;
    /// A longer line is skipped without being kept in memory.
    static constexpr std::size_t MaxLineBytes = 8 * 1024 * 1024;

    /// Why a file of `size` bytes is refused; nothing when it may be read.
    static std::optional<std::string> RefuseSize(std::uint64_t size);

    using Take = std::function<void(Visit)>;
    explicit VisitImport(Take take);

    /// The next bytes of the file, cut anywhere.
    void Feed(std::string_view bytes);
    /// The end of the file: a last line without its line end is read too.
    void Finish();

    /// Why the whole file was refused (its first line is not a visit); every
    /// later byte is then ignored.
    const std::optional<std::string>& Refusal() const { return refusal; }
    const std::vector<SkippedLine>& Skipped() const { return skipped; }
    std::size_t Taken() const { return taken; }

private:
    void EndLine();

    Take take;
    std::string line;
    bool lineTooLong = false;
    std::size_t lineNumber = 0;
    bool sawVisitOrBadRow = false;
    std::optional<std::string> refusal;
    std::vector<SkippedLine> skipped;
    std::size_t taken = 0;
};

/// What importing a file gave.
struct ImportOutcome {
    std::optional<std::string> Refusal;
    std::vector<SkippedLine> Skipped;
    std::size_t Taken = 0;
};

/// Imports the JSON Lines file at `path`, handing each visit to `take`. Anything
/// but a regular file, and too large a file, is refused unread.
ImportOutcome ImportVisitFile(const std::string& path, const VisitImport::Take& take);

}  // namespace vyx
