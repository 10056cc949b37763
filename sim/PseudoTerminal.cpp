#include "PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace vyx::sim {
namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error("cannot create the pseudo-terminal (" + what +
                             "): " + std::strerror(errno));
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0) {
        Fail("posix_openpt");
    }
    std::array<char, 128> name{};
    if (grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name.data(), name.size()) != 0) {
        const int saved = errno;
        ::close(master);
        errno = saved;
        Fail("unlock");
    }
    slavePath = name.data();

    // Raw both ways: the line carries binary frames, and an echoing slave would
    // send the device's own bytes back to it before the tool sets its modes.
    termios modes{};
    if (tcgetattr(master, &modes) == 0) {
        cfmakeraw(&modes);
        tcsetattr(master, TCSANOW, &modes);
    }

    // A new master reports POLLHUP only once a slave has been opened and closed
    // again. Open and close it once here so that, from now on, POLLHUP on the
    // master means exactly "nobody holds the port open".
    const int slave = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) {
        const int saved = errno;
        ::close(master);
        errno = saved;
        Fail(slavePath);
    }
    ::close(slave);
}

PseudoTerminal::~PseudoTerminal() {
    Close();
}

bool PseudoTerminal::SlaveOpen() const {
    if (master < 0) {
        return false;
    }
    pollfd entry{master, POLLIN, 0};
    return ::poll(&entry, 1, 0) >= 0 && (entry.revents & POLLHUP) == 0;
}

void PseudoTerminal::Flush() {
    if (master >= 0) {
        tcflush(master, TCIOFLUSH);
    }
}

void PseudoTerminal::Close() {
    if (master >= 0) {
        ::close(master);
        master = -1;
    }
}

}  // namespace vyx::sim
