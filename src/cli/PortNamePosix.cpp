// Bare port names on POSIX systems: the device of that name in /dev.
#include <sys/stat.h>

#include "CliCommands.h"

namespace vyx::cli {

std::optional<std::string> SystemPortPath(const std::string& name) {
    const std::string path = "/dev/" + name;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) {
        return std::nullopt;
    }
    return path;
}

}  // namespace vyx::cli
