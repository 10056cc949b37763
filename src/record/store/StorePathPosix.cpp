// The record's folder on Linux: $XDG_DATA_HOME/vyxtool, ~/.local/share/vyxtool when
// the variable is unset (or not an absolute path, which the convention ignores).
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "StorePath.h"

namespace vyx::record {

namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

}  // namespace

std::optional<std::string> DefaultStorePath(std::string& path) {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string folder;
    if (data != nullptr && data[0] == '/') {
        folder = data;
    } else {
        const std::string home = HomeFolder();
        if (home.empty()) {
            return "sem pasta pessoal para o registro de serviço (HOME não definido)";
        }
        folder = home + "/.local/share";
    }
    folder += "/vyxtool";
    // Each missing folder on the way, readable by the user alone.
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return "não foi possível criar a pasta " + part +
                   " do registro de serviço: " + std::strerror(errno);
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    path = folder + "/record.sqlite3";
    return std::nullopt;
}

}  // namespace vyx::record
