// Bare port names on Windows are the system's own ("COM5"): the port layer
// opens them as they are and says itself when one is missing.
#include "CliCommands.h"

namespace vyx::cli {

std::optional<std::string> SystemPortPath(const std::string& name) {
    return name;
}

}  // namespace vyx::cli
