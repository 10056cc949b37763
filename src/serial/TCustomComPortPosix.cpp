// The port's system side on POSIX systems: a terminal device opened by path.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "SystemCodes.h"
#include "TCustomComPort.h"
#include "TtyControl.h"

namespace vyx {

namespace {

using Clock = std::chrono::steady_clock;

int DataBitCount(TDataBits bits) {
    return 5 + static_cast<int>(bits);
}

std::string DevicePath(const std::string& port) {
    // The name ends at its first zero byte.
    std::string name = port.substr(0, port.find('\0'));
    if (name.find('/') == std::string::npos) {
        name = "/dev/" + name;
    }
    return name;
}

}  // namespace

ComHandle TCustomComPort::OpenDevice() {
    const int fd = ::open(DevicePath(port).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw EComPort(ComErrorOpen, errno);
    }
    const auto fail = [fd](int code) {
        ::close(fd);
        throw EComPort(ComErrorOpen, code);
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        fail(errno);
    }
    if (!S_ISCHR(info.st_mode)) {
        fail(ENOTTY);
    }
    if (int code = tty::CheckTerminal(fd)) {
        fail(code);
    }
    if (int code = tty::CheckUart(fd)) {
        fail(code);
    }
    // Exclusive use: the advisory lock also holds against privileged users, whom
    // the terminal's exclusive mode lets through.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        fail(errno);
    }
    // From here the port is given back as found, however the work ends.
    if (int code = tty::Hold(fd)) {
        fail(code);
    }
    // The kernel raises DTR (and RTS) for a moment whenever the device is opened;
    // that pulse cannot be avoided, so the lines are dropped as soon as possible.
    if (int code = tty::SetModemLines(fd, false, false)) {
        tty::LetGo(fd);
        fail(code);
    }
    return fd;
}

void TCustomComPort::StartEventThread() {
    if (!events.Empty()) {
        eventThread = std::make_unique<TComThread>(*this, events);
        threadCreated = true;
    }
}

void TCustomComPort::DiscardPendingOutput() {
    if (int code = tty::Flush(static_cast<int>(handle), false, true);
        code != 0 && !DeviceGone(code) && !receiveQueue.HungUp()) {
        throw EComPort(ComErrorPurge, code);
    }
}

void TCustomComPort::ReleaseHandle() {
    const int fd = static_cast<int>(handle);
    tty::Flush(fd, true, true);
    tty::LetGo(fd);
    ::close(fd);
}

std::int32_t TCustomComPort::Write(const void* buffer, std::int32_t count) {
    if (!connected) {
        throw EComPort(ComErrorWrite, ClosedPortCode());
    }
    if (count <= 0) {
        return 0;
    }
    const int fd = static_cast<int>(handle);
    const auto limit = timeouts.WriteLimitFor(count);
    const auto deadline = limit ? Clock::now() + *limit : Clock::time_point::max();
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::int32_t written = 0;
    while (written < count) {
        const ssize_t n = ::write(fd, bytes + written, static_cast<std::size_t>(count - written));
        if (n > 0) {
            written += static_cast<std::int32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            throw EComPort(ComErrorWrite, errno);
        }
        int waitMs = -1;
        if (limit) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                break;  // cut off: not an error
            }
            waitMs = static_cast<int>(std::min<std::int64_t>(left.count(), 1 << 30));
        }
        pollfd pfd{fd, POLLOUT, 0};
        if (::poll(&pfd, 1, waitMs) < 0 && errno != EINTR) {
            throw EComPort(ComErrorWrite, errno);
        }
    }
    return written;
}

void TCustomComPort::CheckModemStatus() {
    if (!connected) {
        throw EComPort(ComErrorModemStatus, ClosedPortCode());
    }
    if (int code = tty::CheckModemStatus(static_cast<int>(handle));
        code != 0 && !receiveQueue.HungUp()) {
        throw EComPort(ComErrorModemStatus, code);
    }
}

void TCustomComPort::ApplyBuffer() {
    if (!connected || loading) {
        return;
    }
    receiveQueue.SetCapacity(
        static_cast<std::size_t>(buffer.InputSize() > 0 ? buffer.InputSize() : 0));
}

void TCustomComPort::ApplyDCB() {
    if (!connected || loading) {
        return;
    }
    TtyLineSettings line;
    line.baudRate = baudRate == brCustom ? customBaudRate : BaudRateValue(baudRate);
    line.dataBits = DataBitCount(dataBits);
    line.stopBits = stopBits;
    line.parity = parity.Bits();
    line.parityCheck = parity.Check();
    line.replaceErrors = parity.Check() && parity.Replace();
    line.hardwareFlow = flowControl.OutCTSFlow() || flowControl.ControlRTS() == rtsHandshake;
    line.xonXoffOut = flowControl.XonXoffOut();
    line.xonXoffIn = flowControl.XonXoffIn();
    line.xonChar = flowControl.XonChar();
    line.xoffChar = flowControl.XoffChar();
    const int fd = static_cast<int>(handle);
    if (int code = tty::ApplyLineSettings(fd, line)) {
        throw EComPort(ComErrorLineSettings, code);
    }
    const bool dtr = flowControl.ControlDTR() == dtrEnable;
    const bool rts = flowControl.ControlRTS() == rtsEnable;
    if (int code = tty::SetModemLines(fd, dtr, rts)) {
        throw EComPort(ComErrorLineSettings, code);
    }
    receiveQueue.SetEventChar(eventChar);
}

void TCustomComPort::ApplyTimeouts() {
    // Read and Write apply the time-outs themselves, at each call: nothing goes
    // to the device, and nothing can fail here.
}

void ReleaseEveryPortNow() {
    tty::LetGoOfEveryPort();
}

}  // namespace vyx
