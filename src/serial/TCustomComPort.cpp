#include "TCustomComPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>

#include "TtyControl.h"

namespace vyx {

namespace {

using Clock = std::chrono::steady_clock;

// Codes with which the terminal driver says the device has gone.
bool DeviceGone(int code) {
    return code == EIO || code == ENXIO || code == ENODEV || code == ENOTTY;
}

int DataBitCount(TDataBits bits) {
    return 5 + static_cast<int>(bits);
}

}  // namespace

TCustomComPort::TCustomComPort() = default;

TCustomComPort::~TCustomComPort() {
    try {
        Close();
    } catch (const EComPort&) {
        // Closing at exit: the device is let go of whatever it says.
        CloseDevice();
    }
    ReapRetiredThreads();
}

void TCustomComPort::SetPort(const std::string& value) {
    if (value == port) {
        return;
    }
    port = value;
    if (connected && !loading) {
        Close();
        Open();
    }
}

void TCustomComPort::SetSyncMethod(TSyncMethod value) {
    if (value == syncMethod) {
        return;
    }
    if (connected) {
        throw EComPort(ComErrorChangeWhileOpen);
    }
    syncMethod = value;
}

void TCustomComPort::SetFrameCompleteHint(FrameCompleteHint hint) {
    receiveQueue.SetHint(std::move(hint));
}

void TCustomComPort::SetConnected(bool value) {
    if (loading) {
        connectRecorded = value;
        return;
    }
    if (value == connected) {
        return;
    }
    if (value) {
        Open();
    } else {
        Close();
    }
}

void TCustomComPort::Loaded(const std::function<void(const EComPort&)>& report) {
    loading = false;
    if (!connectRecorded) {
        return;
    }
    connectRecorded = false;
    try {
        Open();
    } catch (const EComPort& e) {
        if (report) {
            report(e);
        }
    }
}

std::string TCustomComPort::DevicePath() const {
    // The name ends at its first zero byte.
    std::string name = port.substr(0, port.find('\0'));
    if (name.find('/') == std::string::npos) {
        name = "/dev/" + name;
    }
    return name;
}

void TCustomComPort::Open() {
    if (connected) {
        return;
    }
    if (closing) {
        // Reopening from a handler run by the close that is still in progress.
        throw EComPort(ComErrorOpen, EBUSY);
    }
    const int fd = ::open(DevicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
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
    // Exclusive use: the advisory lock also holds against privileged users, whom
    // the terminal's exclusive mode lets through.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        fail(errno);
    }
    if (int code = tty::SetExclusive(fd)) {
        fail(code);
    }
    // The kernel raises DTR (and RTS) for a moment whenever the device is opened;
    // that pulse cannot be avoided, so the lines are dropped as soon as possible.
    if (int code = tty::SetModemLines(fd, false, false)) {
        tty::ClearExclusive(fd);
        fail(code);
    }

    handle = fd;
    connected = true;
    receiveQueue.Attach(fd);
    try {
        SetupComPort();
        if (!events.Empty()) {
            eventThread = std::make_unique<TComThread>(*this, events);
            threadCreated = true;
        }
    } catch (const std::system_error& e) {
        CloseDevice();
        throw EComPort(ComErrorOpen, e.code().value());
    } catch (...) {
        CloseDevice();
        throw;
    }
    CheckModemStatus();
}

void TCustomComPort::Close() {
    if (!connected || closing) {
        return;
    }
    // Pending output is discarded: a device that stopped reading would otherwise
    // hold the close for the driver's closing wait. Received bytes stay for a
    // batch that is already on its way.
    if (int code = tty::Flush(handle, false, true);
        code != 0 && !DeviceGone(code) && !receiveQueue.HungUp()) {
        throw EComPort(ComErrorPurge, code);
    }
    closing = true;
    if (eventThread) {
        eventThread->Stop();
        if (eventThread->Dispatching()) {
            // Closed from inside this port's receive handler (or an event loop it
            // runs): the event thread waits for that handler, so waiting for the
            // thread here would never end. It is stopped, touches the device no
            // more once released, and is joined after the handler has returned.
            retiredThreads.push_back(std::move(eventThread));
        } else {
            eventThread->WaitFor();
            eventThread.reset();
        }
    }
    CloseDevice();
    closing = false;
}

void TCustomComPort::CloseDevice() {
    if (eventThread) {
        eventThread->Stop();
        eventThread->WaitFor();
        eventThread.reset();
    }
    receiveQueue.Detach();
    if (handle >= 0) {
        tty::Flush(handle, true, true);
        tty::ClearExclusive(handle);
        ::close(handle);
    }
    handle = -1;
    connected = false;
    threadCreated = false;
}

void TCustomComPort::ReapRetiredThreads() {
    // A thread whose batch is still running further up the stack waits for a later call.
    std::erase_if(retiredThreads, [](const std::unique_ptr<TComThread>& thread) {
        if (thread->Dispatching()) {
            return false;
        }
        thread->WaitFor();
        return true;
    });
}

std::int32_t TCustomComPort::Read(void* buffer, std::int32_t count) {
    if (!connected) {
        throw EComPort(ComErrorRead, EBADF);
    }
    const ComReceiveQueue::ReadResult result =
        receiveQueue.Read(static_cast<std::uint8_t*>(buffer), count, timeouts.ReadLimitsFor(count));
    if (result.error != 0) {
        throw EComPort(ComErrorRead, result.error);
    }
    return result.count;
}

std::int32_t TCustomComPort::Write(const void* buffer, std::int32_t count) {
    if (!connected) {
        throw EComPort(ComErrorWrite, EBADF);
    }
    if (count <= 0) {
        return 0;
    }
    const auto limit = timeouts.WriteLimitFor(count);
    const auto deadline = limit ? Clock::now() + *limit : Clock::time_point::max();
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::int32_t written = 0;
    while (written < count) {
        const ssize_t n =
            ::write(handle, bytes + written, static_cast<std::size_t>(count - written));
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
        pollfd fd{handle, POLLOUT, 0};
        if (::poll(&fd, 1, waitMs) < 0 && errno != EINTR) {
            throw EComPort(ComErrorWrite, errno);
        }
    }
    return written;
}

void TCustomComPort::ClearBuffer(bool input, bool output) {
    if (!connected) {
        throw EComPort(ComErrorPurge, EBADF);
    }
    if (int code = receiveQueue.Clear(input, output)) {
        throw EComPort(ComErrorPurge, code);
    }
}

std::int32_t TCustomComPort::InputCount() {
    if (!connected) {
        throw EComPort(ComErrorQueueQuery, EBADF);
    }
    std::int32_t count = 0;
    if (int code = receiveQueue.Count(count)) {
        throw EComPort(ComErrorQueueQuery, code);
    }
    return count;
}

void TCustomComPort::CheckModemStatus() {
    if (!connected) {
        throw EComPort(ComErrorModemStatus, EBADF);
    }
    if (int code = tty::CheckModemStatus(handle); code != 0 && !receiveQueue.HungUp()) {
        throw EComPort(ComErrorModemStatus, code);
    }
}

void TCustomComPort::CallRxChar() {
    const std::int32_t count = InputCount();
    if (count > 0) {
        DoRxChar(count);
    }
}

void TCustomComPort::DoRxChar(std::int32_t count) {
    if (OnRxChar) {
        OnRxChar(*this, count);
    }
}

void TCustomComPort::ApplyGroup(ComGroup group) {
    switch (group) {
        case ComGroup::Line:
            ApplyDCB();
            break;
        case ComGroup::Timeouts:
            ApplyTimeouts();
            break;
        case ComGroup::Buffer:
            ApplyBuffer();
            break;
    }
}

void TCustomComPort::SetupComPort() {
    ApplyBuffer();
    ApplyDCB();
    ApplyTimeouts();
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
    if (int code = tty::ApplyLineSettings(handle, line)) {
        throw EComPort(ComErrorLineSettings, code);
    }
    const bool dtr = flowControl.ControlDTR() == dtrEnable;
    const bool rts = flowControl.ControlRTS() == rtsEnable;
    if (int code = tty::SetModemLines(handle, dtr, rts)) {
        throw EComPort(ComErrorLineSettings, code);
    }
    receiveQueue.SetEventChar(eventChar);
}

void TCustomComPort::ApplyTimeouts() {
    // Read and Write apply the time-outs themselves, at each call: nothing goes
    // to the device, and nothing can fail here.
}

}  // namespace vyx
