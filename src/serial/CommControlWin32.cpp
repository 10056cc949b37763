// The Windows communications calls shared by the port's Win32 units, and the
// codes the shared code decides on.
#include <system_error>

#include "CommControl.h"
#include "SystemCodes.h"

namespace vyx {

// A USB adapter pulled out fails its transfers with access denied, a general
// failure or a bad command, depending on its driver; a line whose other end hung
// up (a pseudo-terminal under Wine) with a broken pipe or not ready.
bool DeviceGone(int code) {
    switch (code) {
        case ERROR_ACCESS_DENIED:
        case ERROR_NOT_READY:
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_BROKEN_PIPE:
        case ERROR_DEVICE_NOT_CONNECTED:
            return true;
        default:
            return false;
    }
}

int DeviceGoneCode() {
    return ERROR_BROKEN_PIPE;
}

int ClosedPortCode() {
    return ERROR_INVALID_HANDLE;
}

int PortBusyCode() {
    return ERROR_BUSY;
}

namespace comm {

OverlappedIo::OverlappedIo() {
    io.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (io.hEvent == nullptr) {
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                "CreateEvent");
    }
}

OverlappedIo::~OverlappedIo() {
    ::CloseHandle(io.hEvent);
}

OVERLAPPED* OverlappedIo::Start() {
    const HANDLE event = io.hEvent;
    io = OVERLAPPED{};
    io.hEvent = event;
    ::ResetEvent(event);
    return &io;
}

IoOutcome Finish(HANDLE device, OverlappedIo& io, BOOL started, HANDLE stop, DWORD timeoutMs) {
    IoOutcome outcome;
    if (!started) {
        const DWORD code = ::GetLastError();
        if (code != ERROR_IO_PENDING) {
            outcome.code = code;
            return outcome;
        }
        HANDLE handles[2] = {stop, io.Event()};
        const DWORD count = stop != nullptr ? 2 : 1;
        HANDLE* first = stop != nullptr ? handles : handles + 1;
        const DWORD woke = ::WaitForMultipleObjects(count, first, FALSE, timeoutMs);
        const bool completed = woke == WAIT_OBJECT_0 + count - 1;
        if (!completed) {
            // Stopped, out of time or a failed wait: the transfer must end before
            // its record is used again.
            ::CancelIoEx(device, io.Get());
            ::GetOverlappedResult(device, io.Get(), &outcome.bytes, TRUE);
            if (woke == WAIT_TIMEOUT) {
                outcome.kind = IoOutcome::TimedOut;
            } else if (stop != nullptr && woke == WAIT_OBJECT_0) {
                outcome.kind = IoOutcome::Stopped;
            } else {
                outcome.code = ::GetLastError();
            }
            return outcome;
        }
    }
    if (::GetOverlappedResult(device, io.Get(), &outcome.bytes, FALSE)) {
        outcome.kind = IoOutcome::Done;
    } else {
        outcome.code = ::GetLastError();
    }
    return outcome;
}

}  // namespace comm
}  // namespace vyx
