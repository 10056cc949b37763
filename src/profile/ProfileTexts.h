#pragma once
// The log line of a profile opened into the editor: the window and the page say
// the same.

#include <string>
#include <string_view>

#include "ProfileSyntax.h"

namespace vyx {

inline constexpr std::string_view ProfileOpenedPrefix = "Perfil aberto: ";

/// "Perfil aberto: NOME", the name made printable (a file name is the user's text).
inline std::string ProfileOpenedLine(std::string_view fileName) {
    return std::string(ProfileOpenedPrefix) + PrintableText(fileName);
}

}  // namespace vyx
