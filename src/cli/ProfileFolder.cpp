#include "ProfileFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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
    // The ID as identification writes it, its words joined by dashes for a file name.
    std::string name = IdText(id);
    std::replace(name.begin(), name.end(), ' ', '-');
    std::string file = name + ".json";
    for (int copy = 2; !taken.insert(file).second; ++copy) {
        file = std::string(name) + "-" + std::to_string(copy) + ".json";
    }
    return folder + "/" + file;
}

}  // namespace vyx::cli
