// Reads the slave's settings through the kernel's termios2, like the port sets
// them; glibc's <termios.h> is kept out of this file for the same reason.
#include "PtyPair.h"

#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace vyx::test {

PtyPair::PtyPair() {
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    slavePath = ::ptsname(master);
}

PtyPair::~PtyPair() {
    HangUp();
}

void PtyPair::Send(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR) {
            throw std::runtime_error("write to the pseudo-terminal failed");
        }
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
}

void PtyPair::SendInUsbChunks(const std::vector<std::uint8_t>& bytes) {
    for (std::size_t at = 0; at < bytes.size(); at += 64) {
        const auto end = std::min(bytes.size(), at + 64);
        Send({bytes.begin() + static_cast<std::ptrdiff_t>(at),
              bytes.begin() + static_cast<std::ptrdiff_t>(end)});
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool LengthPrefixedComplete(const std::uint8_t* bytes, std::size_t count) {
    return count > 0 && count >= 1u + bytes[0];
}

std::vector<std::uint8_t> PtyPair::Receive(std::size_t count, std::chrono::milliseconds limit) {
    std::vector<std::uint8_t> bytes;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (bytes.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fd{master, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        std::uint8_t chunk[4096];
        const ssize_t n = ::read(master, chunk, std::min(sizeof chunk, count - bytes.size()));
        if (n <= 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

void PtyPair::HangUp() {
    if (master >= 0) {
        ::close(master);
        master = -1;
    }
}

bool PtyPair::Exclusive() const {
    // Root may open an exclusive terminal and ask; anybody else is refused.
    const int fd = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == EBUSY;
    }
    int exclusive = 0;
    const bool asked = ::ioctl(fd, TIOCGEXCL, &exclusive) == 0;
    ::close(fd);
    if (!asked) {
        throw std::runtime_error("TIOCGEXCL failed");
    }
    return exclusive != 0;
}

SlaveSettings PtyPair::Settings() const {
    // Terminal requests on the master side act on the slave's settings.
    struct termios2 t {};
    if (::ioctl(master, TCGETS2, &t) != 0) {
        throw std::runtime_error("TCGETS2 failed");
    }
    SlaveSettings s;
    s.outputSpeed = t.c_ospeed;
    s.inputSpeed = t.c_ispeed;
    switch (t.c_cflag & CSIZE) {
        case CS5:
            s.dataBits = 5;
            break;
        case CS6:
            s.dataBits = 6;
            break;
        case CS7:
            s.dataBits = 7;
            break;
        default:
            s.dataBits = 8;
    }
    s.parity = (t.c_cflag & PARENB) != 0;
    s.twoStopBits = (t.c_cflag & CSTOPB) != 0;
    s.hangUpOnClose = (t.c_cflag & HUPCL) != 0;
    s.hardwareFlow = (t.c_cflag & CRTSCTS) != 0;
    s.softwareFlow = (t.c_iflag & (IXON | IXOFF)) != 0;
    s.raw = (t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) == 0 && (t.c_oflag & OPOST) == 0 &&
            (t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP)) == 0;
    return s;
}

std::vector<std::uint8_t> Pattern(std::size_t count, std::uint8_t first) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(first + i);
    }
    return bytes;
}

}  // namespace vyx::test
