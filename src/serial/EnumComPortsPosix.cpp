// Port enumeration on POSIX systems: the terminal class folder in sysfs and the
// user's virtual-port folder of symlinks.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "EComPort.h"
#include "EnumComPorts.h"
#include "EnumComPortsSystem.h"

namespace vyx {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

// The entry names of a folder, without "." and ".."; returns the errno or 0.
int ListFolder(const std::string& path, std::vector<std::string>& names) {
    Dir dir(::opendir(path.c_str()));
    if (!dir) {
        return errno;
    }
    errno = 0;
    while (dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
        errno = 0;
    }
    return errno;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// A serial driver lists UARTs it may have; those found absent have type 0.
bool PlaceholderUart(const std::string& entry) {
    std::ifstream typeFile(entry + "/type");
    int type = -1;
    return typeFile >> type && type == 0;
}

}  // namespace

namespace port_list {

void AddSystemPorts(const std::string& folder, std::vector<std::string>& ports) {
    std::vector<std::string> names;
    if (int code = ListFolder(folder, names)) {
        throw EComPort(ComErrorPortList, code);
    }
    for (const std::string& name : names) {
        const std::string entry = folder + "/" + name;
        if (Exists(entry + "/device") && !PlaceholderUart(entry)) {
            ports.push_back("/dev/" + name);
        }
    }
}

// Symlinks in a folder only the user can fill; anything else adds nothing.
void AddVirtualPorts(const std::string& folder, std::vector<std::string>& ports) {
    struct stat info {};
    if (folder.empty() || ::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return;
    }
    std::vector<std::string> names;
    ListFolder(folder, names);
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
            ports.push_back(path);
        }
    }
}

}  // namespace port_list

std::string VirtualPortFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/vyx-ports";
    }
    return "/tmp/vyx-ports-" + std::to_string(::geteuid());
}

ComPortSources DefaultComPortSources() {
    return ComPortSources{"/sys/class/tty", VirtualPortFolder()};
}

}  // namespace vyx
