// The explanations of a port that would not open, met for real: a pseudo-terminal
// opened by a user its mode shuts out, one held by another port, and a path that
// is gone.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "Cport.h"
#include "PortTrouble.h"

namespace vyx::test {
namespace {

class PseudoTerminal {
public:
    PseudoTerminal() {
        char name[256] = {};
        EXPECT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
        path = name;
    }
    ~PseudoTerminal() {
        ::close(master);
        ::close(slave);
    }
    const std::string& Path() const { return path; }

private:
    int master = -1;
    int slave = -1;
    std::string path;
};

// The explanation an open of `path` meets, or "" when the port opened.
std::string OpenAndExplain(const std::string& path) {
    TComPort port;
    port.SetPort(path);
    try {
        port.Open();
    } catch (const EComPort& e) {
        return PortTrouble::Explain(e, path);
    }
    return "";
}

// The explanation that the user "nobody", without any extra group, meets when it
// opens `path` (in a child process: a process cannot take its privileges back).
std::string OpenAsNobody(const std::string& path) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        constexpr uid_t Nobody = 65534;
        std::string text = "could not become nobody";
        if (::setgroups(0, nullptr) == 0 && ::setgid(Nobody) == 0 && ::setuid(Nobody) == 0) {
            text = OpenAndExplain(path);
        }
        const ssize_t written = ::write(pipeEnds[1], text.data(), text.size());
        ::_exit(written == ssize_t(text.size()) ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, n);
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return text;
}

TEST(PortTroubleTest, OpenFailuresAreSortedBySystemCode) {
    struct Case {
        std::int32_t errorNumber;
        std::int32_t code;
        PortTrouble::Kind kind;
    };
    const Case cases[] = {
        {ComErrorOpen, EACCES, PortTrouble::Kind::Permission},
        {ComErrorOpen, EPERM, PortTrouble::Kind::Permission},
        {ComErrorOpen, EBUSY, PortTrouble::Kind::Busy},
        {ComErrorOpen, EWOULDBLOCK, PortTrouble::Kind::Busy},
        {ComErrorOpen, ENOENT, PortTrouble::Kind::Vanished},
        {ComErrorOpen, ENODEV, PortTrouble::Kind::Vanished},
        {ComErrorOpen, ENXIO, PortTrouble::Kind::Vanished},
        {ComErrorOpen, ENOTTY, PortTrouble::Kind::Other},
        {ComErrorRead, EACCES, PortTrouble::Kind::Other},
        {ComErrorWrite, ENXIO, PortTrouble::Kind::Other},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PortTrouble::Classify(EComPort(c.errorNumber, c.code)), c.kind)
            << c.errorNumber << " " << c.code;
    }
    EXPECT_EQ(PortTrouble::Explain(EComPort(ComErrorOpen, ENOTTY), "/dev/ttyS4"),
              "Não foi possível abrir a porta /dev/ttyS4.");
}

TEST(PortTroubleTest, APortHeldByAnotherProgramIsNamedBusy) {
    PseudoTerminal pty;
    TComPort holder;
    holder.SetPort(pty.Path());
    holder.Open();
    EXPECT_EQ(OpenAndExplain(pty.Path()), "A porta " + pty.Path() +
                                              " está em uso por outro programa.\n"
                                              "Feche o outro programa e tente de novo.");
}

TEST(PortTroubleTest, APortThatIsGoneSaysSo) {
    EXPECT_EQ(OpenAndExplain("/dev/vyx-no-such-port"),
              "A porta /dev/vyx-no-such-port não existe mais: o Vyx foi desconectado ou a porta "
              "mudou de nome.");
}

TEST(PortTroubleTest, AUserShutOutIsToldWhichGroupToJoinOrWhomToAsk) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "acting as another user needs root";
    }
    const group* dialout = ::getgrnam("dialout");
    if (!dialout) {
        GTEST_SKIP() << "no dialout group on this machine";
    }
    struct Case {
        gid_t group;
        mode_t mode;
        const char* expected;  // after the first line
    };
    const Case cases[] = {
        {dialout->gr_gid, 0660,
         "Ela pertence ao grupo dialout. Para entrar nesse grupo, execute\n"
         "    sudo usermod -aG dialout nobody\n"
         "e entre de novo na sua sessão."},
        // A group without read and write access: joining it would not help.
        {dialout->gr_gid, 0620,
         "Ela pertence ao usuário root e ao grupo dialout, sem acesso para outros. Peça ao "
         "administrador que instale a regra udev do Vyx."},
        {0, 0660,
         "Ela pertence ao usuário root e ao grupo root, sem acesso para outros. Peça ao "
         "administrador que instale a regra udev do Vyx."},
    };
    for (const Case& c : cases) {
        PseudoTerminal pty;
        ASSERT_EQ(::chown(pty.Path().c_str(), 0, c.group), 0);
        ASSERT_EQ(::chmod(pty.Path().c_str(), c.mode), 0);
        EXPECT_EQ(OpenAsNobody(pty.Path()),
                  "Sem permissão para abrir a porta " + pty.Path() + ".\n" + c.expected);
    }
}

}  // namespace
}  // namespace vyx::test
