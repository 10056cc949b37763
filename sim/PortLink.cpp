#include "PortLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace vyx::sim {
namespace {

[[noreturn]] void Fail(const std::string& text) {
    throw std::runtime_error(text);
}

std::string SystemError() {
    return std::strerror(errno);
}

void CheckFolder(const std::string& folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            Fail("cannot use the port folder " + folder + ": " + SystemError());
        }
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            Fail("cannot create the port folder " + folder + ": " + SystemError());
        }
        if (::lstat(folder.c_str(), &info) != 0) {
            Fail("cannot use the port folder " + folder + ": " + SystemError());
        }
    }
    // The tool lists only a folder of the user's own that nobody else can write
    // to; publishing anywhere else would leave the port invisible.
    if (!S_ISDIR(info.st_mode)) {
        Fail("the port folder " + folder + " is not a directory");
    }
    if (info.st_uid != ::geteuid()) {
        Fail("the port folder " + folder + " belongs to another user");
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        Fail("the port folder " + folder + " is writable by other users (chmod 700 it)");
    }
}

std::string ReadLink(const std::string& path) {
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
    return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length))
                      : std::string();
}

}  // namespace

std::string PortLink::DefaultFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/vyx-ports";
    }
    return "/tmp/vyx-ports-" + std::to_string(::geteuid());
}

PortLink::PortLink(const std::string& folder, const std::string& name, const std::string& target)
    : target(target) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        Fail("the port name \"" + name + "\" is not a plain file name");
    }
    CheckFolder(folder);
    path = folder + "/" + name;

    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISLNK(info.st_mode)) {
        Fail(path + " exists and is not a link; choose another --name");
    }
    // Made under a temporary name and renamed, so a tool listing the folder never
    // sees a half-made or missing link.
    const std::string temporary = folder + "/." + name + "." + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0) {
        Fail("cannot create the link " + path + ": " + SystemError());
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string error = SystemError();
        ::unlink(temporary.c_str());
        Fail("cannot create the link " + path + ": " + error);
    }
}

PortLink::~PortLink() {
    Remove();
}

void PortLink::Remove() {
    if (!path.empty() && ReadLink(path) == target) {
        ::unlink(path.c_str());
    }
    path.clear();
}

}  // namespace vyx::sim
