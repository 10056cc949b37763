#pragma once
// A version of the tool as the maker's version file writes it: major, minor and
// the character code of the release letter.

#include "BuildVersion.h"

namespace vyx {

struct VersionNumber {
    int Major = 0;
    int Minor = 0;
    /// Character code of the release letter (67 is 'C'); 0 to 999 in a version file.
    int Letter = 0;

    friend bool operator==(const VersionNumber&, const VersionNumber&) = default;
};

/// This build's own version (e.g. 2.39.C), as in the window title.
inline constexpr VersionNumber ToolVersion{BuildVersionMajor, BuildVersionMinor,
                                           BuildVersionLetter};

}  // namespace vyx
