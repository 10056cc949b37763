#include "ProfileFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

namespace vyx::cli {

ProfileFolder::ProfileFolder(std::string folder) : folder(std::move(folder)) {}

std::optional<std::string> ProfileFolder::Problem() const {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return "a pasta " + folder + " não existe";
    }
    if (!S_ISDIR(info.st_mode)) {
        return folder + " não é uma pasta";
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return "sem permissão para gravar na pasta " + folder;
    }
    return std::nullopt;
}

std::string ProfileFolder::PathFor(const DeviceId& id) {
    char name[32];
    std::snprintf(name, sizeof name, "%.8X-%.8X-%.8X", id[0], id[1], id[2]);
    std::string file = std::string(name) + ".json";
    for (int copy = 2; !taken.insert(file).second; ++copy) {
        file = std::string(name) + "-" + std::to_string(copy) + ".json";
    }
    return folder + "/" + file;
}

}  // namespace vyx::cli
