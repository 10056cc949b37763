#include "PortTrouble.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace vyx {

namespace {

constexpr const char* RefusedText = "Sem permissão para abrir a porta %PATH%.\n";
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
constexpr const char* BusyText =
    "A porta %PATH% está em uso por outro programa.\n"
    "Feche o outro programa e tente de novo.";
constexpr const char* VanishedText =
    "A porta %PATH% não existe mais: o Vyx foi desconectado ou a porta mudou de nome.";
constexpr const char* OtherText = "Não foi possível abrir a porta %PATH%.";

void Fill(std::string& text, const std::string& field, const std::string& value) {
    for (std::size_t at = text.find(field); at != std::string::npos;
         at = text.find(field, at + value.size())) {
        text.replace(at, field.size(), value);
    }
}

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

std::string ExplainRefusal(const std::string& devicePath) {
    std::string text = RefusedText;
    struct stat info {};
    if (::stat(devicePath.c_str(), &info) != 0) {
        text.pop_back();  // nothing more is known about the device
        return text;
    }
    const uid_t user = ::geteuid();
    // Joining the group helps only when the group may read and write the device,
    // and never for the superuser's group.
    const bool groupMayUse =
        info.st_gid != 0 && (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (!groupMayUse) {
        text += AskAdministratorText;
    } else if (ListedInGroup(user, info.st_gid) && !ProcessInGroup(info.st_gid)) {
        text += LogInAgainText;
    } else {
        text += JoinGroupText;
    }
    Fill(text, "%OWNER%", UserName(info.st_uid));
    Fill(text, "%GROUP%", GroupName(info.st_gid));
    Fill(text, "%USER%", UserName(user));
    return text;
}

}  // namespace

PortTrouble::Kind PortTrouble::Classify(const EComPort& error) {
    if (error.ErrorNumber != ComErrorOpen) {
        return Kind::Other;
    }
    switch (error.SystemCode) {
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

std::string PortTrouble::Explain(const EComPort& error, const std::string& devicePath) {
    std::string text;
    switch (Classify(error)) {
        case Kind::Permission:
            text = ExplainRefusal(devicePath);
            break;
        case Kind::Busy:
            text = BusyText;
            break;
        case Kind::Vanished:
            text = VanishedText;
            break;
        case Kind::Other:
            text = OtherText;
            break;
    }
    Fill(text, "%PATH%", devicePath);
    return text;
}

}  // namespace vyx
