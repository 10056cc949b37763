#pragma once
// The parts of vyxctl's man page that are made from the program's own tables,
// so that the page cannot drift from what vyxctl accepts and answers: the
// profile keys with their ranges, taken from the record layout, and the exit
// status, taken from the lines --help prints.

#include <optional>
#include <string>
#include <string_view>

namespace vyx {

/// `text` made safe inside a man page line: backslashes and hyphens escaped, and
/// a leading dot or apostrophe guarded so that it is not read as a request.
std::string RoffText(std::string_view text);

/// The PROFILE KEYS section, as help2man include material: every profile key in
/// record order with the name the device's texts give its field and what it
/// allows; the boxes of one action share an entry.
std::string ProfileKeysSection();

/// The EXIT STATUS section, as help2man include material, made from the exit
/// status lines of --help (a heading line, then "  CODE  meaning" lines, a
/// meaning possibly continued on further lines). Nothing when `help` holds no
/// code.
std::optional<std::string> ExitStatusSection(std::string_view help);

/// The man page help2man wrote, without the subsection it made of those same
/// --help lines (they have their own section). Nothing when the page has no
/// such subsection.
std::optional<std::string> WithoutHelpSubsection(std::string_view page, std::string_view help);

}  // namespace vyx
