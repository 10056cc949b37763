#pragma once
// The version record of the maker's version file: 32 characters that begin at the
// first '#' of the file's body,
//   #*$(AAA.BBB.CCC@@AAA.BBB.CCC)$*#
// with major AAA, minor BBB and letter code CCC written twice as three decimal digits.
// The body around the record is ignored, but the body as a whole must be 33 to 499
// characters long.

#include <cstddef>
#include <optional>
#include <string_view>

#include "VersionNumber.h"

namespace vyx {

class VersionRecord {
public:
    static constexpr std::size_t RecordLength = 32;
    /// The longest body that is judged; anything longer is refused unread.
    static constexpr std::size_t MaxBodyLength = 499;

    /// Reads the version written in a version file's body (8-bit characters). Returns
    /// nothing when the body is too short or too long, has no '#', or the record from
    /// the first '#' is cut short, has a misplaced fixed character, a second copy that
    /// differs from the first, or a field that is not three decimal digits.
    static std::optional<VersionNumber> Parse(std::string_view body);
};

}  // namespace vyx
