// The only file that talks to the kernel's terminal interface. It includes the
// kernel's <asm/termbits.h> and never glibc's <termios.h>: the two define clashing
// `struct termios`, and glibc 2.42 changed `speed_t`, so code mixing them silently
// loses custom bit rates. termios2 with BOTHER takes any rate (3,686,400 bit/s).
#include "TtyControl.h"

#include "SystemCodes.h"

#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace vyx::tty {

namespace {

int Ioctl(int fd, unsigned long request, void* arg) {
    return ::ioctl(fd, request, arg) == 0 ? 0 : errno;
}

bool MissingLine(int code) {
    return code == ENOTTY || code == EINVAL;
}

tcflag_t SizeFlag(int dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

tcflag_t ParityFlags(TParityBits parity) {
    switch (parity) {
        case prOdd:
            return PARENB | PARODD;
        case prEven:
            return PARENB;
        case prMark:
            return PARENB | PARODD | CMSPAR;
        case prSpace:
            return PARENB | CMSPAR;
        default:
            return 0;
    }
}

// The kernel rounds rates it cannot make exactly; accept what is within 3 %.
bool RateTaken(speed_t asked, speed_t got) {
    const long difference = std::labs(static_cast<long>(asked) - static_cast<long>(got));
    return difference * 100 <= static_cast<long>(asked) * 3;
}

// A port this process holds, with its line settings as found. A slot is free at
// -1 and being filled at Filling; the settings are written before the descriptor
// is published, so the signal handler only ever sees complete ones.
struct HeldPort {
    std::atomic<int> fd{-1};
    struct termios2 found {};
};
constexpr int Filling = -2;
static_assert(std::atomic<int>::is_always_lock_free);

HeldPort heldPorts[HeldPortLimit];

int PutBack(int fd, const struct termios2& found) {
    // TCSETS2 does not wait for output to drain: a device that stopped reading
    // must not hold the release.
    struct termios2 settings = found;
    const int restored = Ioctl(fd, TCSETS2, &settings);
    const int shared = ::ioctl(fd, TIOCNXCL) == 0 ? 0 : errno;
    return restored != 0 ? restored : shared;
}

}  // namespace

int Hold(int fd) {
    struct termios2 found {};
    if (int code = Ioctl(fd, TCGETS2, &found)) {
        return code;
    }
    for (HeldPort& slot : heldPorts) {
        int expected = -1;
        if (slot.fd.compare_exchange_strong(expected, Filling)) {
            slot.found = found;
            slot.fd.store(fd);
            if (::ioctl(fd, TIOCEXCL) != 0) {
                const int code = errno;
                slot.fd.store(-1);
                return code;
            }
            return 0;
        }
    }
    return ENFILE;
}

int LetGo(int fd) {
    for (HeldPort& slot : heldPorts) {
        if (slot.fd.load() == fd) {
            const int code = PutBack(fd, slot.found);
            slot.fd.store(-1);
            return code;
        }
    }
    return ::ioctl(fd, TIOCNXCL) == 0 ? 0 : errno;
}

void LetGoOfEveryPort() {
    const int saved = errno;
    for (HeldPort& slot : heldPorts) {
        if (const int fd = slot.fd.load(); fd >= 0) {
            PutBack(fd, slot.found);
        }
    }
    errno = saved;
}

int CheckUart(int fd) {
    struct serial_struct serial {};
    // Only serial drivers answer; any other terminal has nothing to say here.
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) {
        return 0;
    }
    return serial.type == PORT_UNKNOWN ? ENXIO : 0;
}

int CheckTerminal(int fd) {
    struct termios2 t {};
    return Ioctl(fd, TCGETS2, &t);
}

int ApplyLineSettings(int fd, const TtyLineSettings& s) {
    if (s.baudRate <= 0) {
        return EINVAL;
    }
    struct termios2 t {};
    if (int code = Ioctl(fd, TCGETS2, &t)) {
        return code;
    }
    t.c_iflag = 0;
    if (s.parityCheck) {
        t.c_iflag |= INPCK;
        if (!s.replaceErrors) {
            // Without replacement a byte with a parity error is kept as it arrived.
            t.c_iflag |= IGNPAR;
        }
    }
    if (s.xonXoffOut) {
        t.c_iflag |= IXON;
    }
    if (s.xonXoffIn) {
        t.c_iflag |= IXOFF;
    }
    t.c_oflag = 0;
    t.c_lflag = 0;
    t.c_cflag = CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT) | SizeFlag(s.dataBits) |
                ParityFlags(s.parity);
    if (s.stopBits != sbOneStopBit) {
        t.c_cflag |= CSTOPB;
    }
    if (s.hardwareFlow) {
        t.c_cflag |= CRTSCTS;
    }
    t.c_ispeed = static_cast<speed_t>(s.baudRate);
    t.c_ospeed = static_cast<speed_t>(s.baudRate);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    t.c_cc[VSTART] = s.xonChar;
    t.c_cc[VSTOP] = s.xoffChar;
    if (int code = Ioctl(fd, TCSETS2, &t)) {
        return code;
    }
    struct termios2 back {};
    if (int code = Ioctl(fd, TCGETS2, &back)) {
        return code;
    }
    return RateTaken(t.c_ospeed, back.c_ospeed) ? 0 : EINVAL;
}

int SetModemLines(int fd, bool dtr, bool rts) {
    int raise = (dtr ? TIOCM_DTR : 0) | (rts ? TIOCM_RTS : 0);
    int drop = (dtr ? 0 : TIOCM_DTR) | (rts ? 0 : TIOCM_RTS);
    for (auto [request, lines] : {std::pair{TIOCMBIS, raise}, std::pair{TIOCMBIC, drop}}) {
        if (lines == 0) {
            continue;
        }
        const int code = Ioctl(fd, request, &lines);
        if (code != 0 && !MissingLine(code)) {
            return code;
        }
    }
    return 0;
}

int CheckModemStatus(int fd) {
    int lines = 0;
    const int code = Ioctl(fd, TIOCMGET, &lines);
    return MissingLine(code) ? 0 : code;
}

int Flush(int fd, bool input, bool output) {
    if (!input && !output) {
        return 0;
    }
    const unsigned long which = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    return ::ioctl(fd, TCFLSH, which) == 0 ? 0 : errno;
}

int QueuedInput(int fd, int& count) {
    count = 0;
    return Ioctl(fd, FIONREAD, &count);
}

}  // namespace vyx::tty

namespace vyx {

// A terminal whose device went away answers reads with EIO (or end of file),
// and, once hung up, every control call with ENOTTY; a USB adapter being
// removed gives ENXIO or ENODEV.
bool DeviceGone(int code) {
    return code == EIO || code == ENXIO || code == ENODEV || code == ENOTTY;
}

int DeviceGoneCode() {
    return EIO;
}

int ClosedPortCode() {
    return EBADF;
}

int PortBusyCode() {
    return EBUSY;
}

}  // namespace vyx
