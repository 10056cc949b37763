#pragma once
// The first look at a profile's text, before its keys are read: whether it is a
// JSON document at all and, when not, why and where; keys given twice; whole
// numbers too long for the reader to hold as whole numbers. Profiles come from
// anywhere, so nothing of their text reaches a message unescaped.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vyx {

struct ProfileSyntax {
    /// One line each, "linha 3, coluna 7: why" or "KEY: why", without the file name.
    std::vector<std::string> Errors;
    /// Whole numbers beyond 64 bits, as written, by the dotted key they stand under.
    std::map<std::string, std::string> LongIntegers;
};

/// Looks `text` over; a text with no Errors parses as a JSON document.
ProfileSyntax CheckProfileSyntax(std::string_view text);

/// `text` fit for a terminal or a message box: control characters (C0, DEL, C1,
/// line and paragraph separators, direction overrides) become \uXXXX, bytes that
/// are not UTF-8 become \xNN, and past `limit` characters the rest becomes "…".
std::string PrintableText(std::string_view text, std::size_t limit = std::string::npos);
/// Texts of a document quoted in a message are cut at this many characters.
inline constexpr std::size_t QuoteLimit = 40;

}  // namespace vyx
