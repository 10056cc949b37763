// How a refused open looks on a POSIX system: errno values, and the device
// file's owner and group from the user and group databases.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "PortTroubleSystem.h"

namespace vyx::port_trouble {

namespace {

constexpr const char* JoinGroupText =
    "Ela pertence ao grupo %GROUP%. Para entrar nesse grupo, execute\n"
    "    sudo usermod -aG %GROUP% %USER%\n"
    "e entre de novo na sua sessão.";
constexpr const char* LogInAgainText =
    "O usuário %USER% já está no grupo %GROUP%, dono da porta, mas esta sessão começou "
    "antes disso: saia e entre de novo na sua sessão.";
constexpr const char* AskAdministratorText =
    "Ela pertence ao usuário %OWNER% e ao grupo %GROUP%, sem acesso para outros. Peça ao "
    "administrador que instale a regra udev do Vyx.";
// Room for the strings of one entry of the user or group database.
constexpr std::size_t EntryBufferSize = 16384;

std::string GroupName(gid_t gid) {
    std::vector<char> buffer(EntryBufferSize);
    group entry{};
    group* found = nullptr;
    const bool known = ::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0;
    return known && found ? found->gr_name : std::to_string(gid);
}

// The user's entry in the password database; its strings live in `buffer`.
bool FindUser(uid_t uid, passwd& entry, std::vector<char>& buffer) {
    buffer.resize(EntryBufferSize);
    passwd* found = nullptr;
    return ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found;
}

std::string UserName(uid_t uid) {
    std::vector<char> buffer;
    passwd entry{};
    return FindUser(uid, entry, buffer) ? entry.pw_name : std::to_string(uid);
}

// Whether the user's entry in the group database names the group, whatever
// groups this process was started with.
bool ListedInGroup(uid_t uid, gid_t gid) {
    std::vector<char> buffer;
    passwd entry{};
    if (!FindUser(uid, entry, buffer)) {
        return false;
    }
    int count = 64;
    std::vector<gid_t> groups(count);
    if (::getgrouplist(entry.pw_name, entry.pw_gid, groups.data(), &count) < 0) {
        groups.resize(count);
        if (::getgrouplist(entry.pw_name, entry.pw_gid, groups.data(), &count) < 0) {
            return false;
        }
    }
    groups.resize(count);
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

bool ProcessInGroup(gid_t gid) {
    if (::getegid() == gid) {
        return true;
    }
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? count : 0);
    // With no room given the call only counts: nothing to search then.
    const int read = groups.empty() ? 0 : ::getgroups(count, groups.data());
    groups.resize(read > 0 ? read : 0);
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

}  // namespace

std::string RefusalDetail(const std::string& devicePath) {
    struct stat info {};
    if (::stat(devicePath.c_str(), &info) != 0) {
        return {};  // nothing more is known about the device
    }
    std::string text;
    const uid_t user = ::geteuid();
    // Joining the group helps only when the group may read and write the device,
    // and never for the superuser's group.
    const bool groupMayUse =
        info.st_gid != 0 && (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (!groupMayUse) {
        text = AskAdministratorText;
    } else if (ListedInGroup(user, info.st_gid) && !ProcessInGroup(info.st_gid)) {
        text = LogInAgainText;
    } else {
        text = JoinGroupText;
    }
    Fill(text, "%OWNER%", UserName(info.st_uid));
    Fill(text, "%GROUP%", GroupName(info.st_gid));
    Fill(text, "%USER%", UserName(user));
    return text;
}

PortTrouble::Kind KindOfOpenFailure(int systemCode) {
    using Kind = PortTrouble::Kind;
    switch (systemCode) {
        case EACCES:
        case EPERM:
            return Kind::Permission;
        case EBUSY:        // the terminal's exclusive mode
        case EWOULDBLOCK:  // the lock another program holds
            return Kind::Busy;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return Kind::Vanished;
        default:
            return Kind::Other;
    }
}

}  // namespace vyx::port_trouble
