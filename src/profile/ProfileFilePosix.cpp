// Profiles on POSIX systems. The path of a save comes from the user and the tool
// may run as root: nothing here may follow a planted link, replace a device node
// or a link to one, or open a FIFO in a way that waits for a writer.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ProfileFileSystem.h"
#include "SystemRandom.h"
#include "TimeLimits.h"

namespace vyx::profile_file {

namespace {

FileOutcome SystemError(int code) {
    return {FileRefusal::System, std::strerror(code)};
}

// What stands at a path decides whether it may be read or replaced at all.
FileRefusal RefusalOf(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) {
        return FileRefusal::Folder;
    }
    return S_ISREG(st.st_mode) ? FileRefusal::None : FileRefusal::NotRegular;
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The rename is only durable once the folder's entry is on the disk too; a
// failure here leaves a whole file either way, so it is not reported.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

FileOutcome ReadRegularFile(const std::string& path, std::size_t limit, std::string& text) {
    struct stat st {};
    // Opening a serial device may already change its lines: look before opening.
    if (::stat(path.c_str(), &st) != 0) {
        return SystemError(errno);
    }
    if (const FileRefusal refusal = RefusalOf(st); refusal != FileRefusal::None) {
        return {refusal, {}};
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return SystemError(errno);
    }
    // The path may have been swapped for a FIFO since it was looked at.
    FileOutcome outcome;
    if (::fstat(fd, &st) != 0) {
        outcome = SystemError(errno);
    } else if (const FileRefusal refusal = RefusalOf(st); refusal != FileRefusal::None) {
        outcome = {refusal, {}};
    } else {
        text.assign(limit + 1, '\0');
        std::size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                outcome = SystemError(errno);
                break;
            }
            if (n == 0) {
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        text.resize(got);
    }
    ::close(fd);
    return outcome;
}

FileOutcome ReplaceRegularFile(const std::string& path, std::string_view text) {
    std::string target = path;
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists) {
        if (const FileRefusal refusal = RefusalOf(st); refusal != FileRefusal::None) {
            return {refusal, {}};
        }
        // Root may write anything: the mode bits alone say the file is not to change.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return {FileRefusal::ReadOnly, {}};
        }
        if (::access(path.c_str(), W_OK) != 0) {
            if (errno == EACCES || errno == EPERM || errno == EROFS) {
                return {FileRefusal::ReadOnly, {}};
            }
            return SystemError(errno);
        }
        // A link keeps naming the same file: that file is the one replaced.
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    } else if (errno != ENOENT) {
        return SystemError(errno);
    } else if (::lstat(path.c_str(), &st) == 0) {
        // A link to nothing: following it could create a file anywhere.
        return {FileRefusal::NotRegular, {}};
    }

    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < TemporaryNameAttempts && fd < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", SystemRandomNumber());
        temporary = folder + "/." + base + suffix;
        // O_EXCL: a file or link already standing at the name is never opened.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return SystemError(errno);
        }
    }
    if (fd < 0) {
        return SystemError(EEXIST);
    }

    int failure = 0;
    if (exists) {
        // Best effort: only root may give the file back to another owner.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
            errno = 0;
        }
        if (::fchmod(fd, st.st_mode & 07777) != 0) {
            failure = errno;
        }
    }
    if (failure == 0 && !WriteAll(fd, text)) {
        failure = errno != 0 ? errno : EIO;
    }
    if (failure == 0 && ::fsync(fd) != 0) {
        failure = errno;
    }
    if (::close(fd) != 0 && failure == 0) {
        failure = errno;
    }
    if (failure == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        ::unlink(temporary.c_str());
        return SystemError(failure);
    }
    SyncFolder(folder);
    return {};
}

}  // namespace vyx::profile_file
