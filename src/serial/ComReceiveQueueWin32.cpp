// The receive queue's device side on Windows. Only the event thread reads the
// device (its overlapped read is the wait for bytes); the window thread reads
// the buffer and applies the port's read time-outs to it.
#include "ComReceiveQueue.h"
#include "CommControl.h"

namespace vyx {

std::size_t ComReceiveQueue::ReadDevice(std::uint8_t*, std::size_t, int&) {
    return 0;
}

int ComReceiveQueue::WaitForBytes(std::int64_t milliseconds) {
    const DWORD waitMs = milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds);
    if (::WaitForSingleObject(reinterpret_cast<HANDLE>(arrived.Native()), waitMs) == WAIT_FAILED) {
        return static_cast<int>(::GetLastError());
    }
    return 0;
}

int ComReceiveQueue::Count(std::int32_t& count) {
    std::lock_guard lock(mutex);
    count = 0;
    if (!hungUp) {
        // The event thread drains the driver's queue into the buffer before it
        // hands a batch over, so the buffer is what can be read now. The query
        // still clears the line-error state, and its failure is the caller's.
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(comm::Handle(device), &errors, &status)) {
            return static_cast<int>(::GetLastError());
        }
    }
    count = static_cast<std::int32_t>(bytes.size());
    return 0;
}

int ComReceiveQueue::Clear(bool input, bool output) {
    std::lock_guard lock(mutex);
    if (input) {
        DropBuffered();
    }
    const DWORD flags = (input ? PURGE_RXCLEAR : 0) | (output ? PURGE_TXCLEAR : 0);
    if (flags == 0 || ::PurgeComm(comm::Handle(device), flags)) {
        return 0;
    }
    const int code = static_cast<int>(::GetLastError());
    return hungUp && code != ERROR_INVALID_HANDLE ? 0 : code;
}

}  // namespace vyx
