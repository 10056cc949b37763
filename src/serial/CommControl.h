#pragma once
// The Windows communications calls the port's Win32 units share: overlapped
// transfers and waits that can be stopped or bounded. Included by those units only.

#include <windows.h>

#include "ComTypes.h"

namespace vyx::comm {

inline HANDLE Handle(ComHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

/// One overlapped transfer or wait, with a completion event of its own (manual
/// reset). Throws std::system_error when the system has no event to spare.
class OverlappedIo {
public:
    OverlappedIo();
    ~OverlappedIo();
    OverlappedIo(const OverlappedIo&) = delete;
    OverlappedIo& operator=(const OverlappedIo&) = delete;

    /// Cleared for the next transfer.
    OVERLAPPED* Start();
    OVERLAPPED* Get() { return &io; }
    HANDLE Event() const { return io.hEvent; }

private:
    OVERLAPPED io{};
};

/// How a transfer or a wait ended.
struct IoOutcome {
    enum Kind { Done, Stopped, TimedOut, Failed };
    Kind kind = Failed;
    DWORD bytes = 0;  // transferred, also when cut off
    DWORD code = 0;   // the system's code when Failed
};

/// Follows a transfer or wait that `started` (the call's result) on `device`
/// until it completes, `stop` is signalled (when given; it wins over a
/// completion at the same moment) or `timeoutMs` passes. A stopped or timed-out
/// transfer is cancelled and its end awaited, so `io` may be reused at once.
IoOutcome Finish(HANDLE device, OverlappedIo& io, BOOL started, HANDLE stop, DWORD timeoutMs);

}  // namespace vyx::comm
