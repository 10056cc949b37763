#pragma once
// The received-bytes notification without an event thread, for a program whose
// own loop waits on the port (no window): POSIX systems only.

#include <chrono>
#include <cstdint>
#include <optional>

namespace vyx {

class TCustomComPort;

/// While it exists, `port` starts no event thread when it opens: the thread that
/// opens the port waits for it with Wait() and runs Run() after each wait. A pass
/// does what the event thread and its hand-over do together, on this thread:
/// it takes what arrived, holds a partial message back for the rest (the same
/// coalescing), calls OnRxChar with the number of bytes waiting, and tells a
/// hang-up once per opening, after the bytes that came before it. The handlers
/// may pump the loop (a nested pass reports nothing of the same opening) and may
/// close or reopen the port. Without events (Events() empty) nothing is reported.
class ComReceivePass {
public:
    using Clock = std::chrono::steady_clock;

    explicit ComReceivePass(TCustomComPort& port);
    /// The port starts event threads again from its next opening.
    ~ComReceivePass();
    ComReceivePass(const ComReceivePass&) = delete;
    ComReceivePass& operator=(const ComReceivePass&) = delete;

    /// Sleeps until the device has news, `wakeFd` is readable (it is not read)
    /// or `until` passes; earlier when a partial message is due to go as it is.
    /// Returns whether `wakeFd` was readable.
    bool Wait(int wakeFd, Clock::time_point until);
    /// One pass. When no Wait ran since the last pass, it looks at the device
    /// without waiting. Does nothing inside its own handlers.
    void Run();

private:
    /// Forgets the state of an earlier opening.
    void Follow();
    /// The descriptor to wait on; -1 when closed, silent, told gone or full.
    int Device();
    void Deliver(bool bytes, bool gone);

    TCustomComPort& port;
    std::uint64_t opening = 0;
    short seen = 0;  // what the last Wait saw on the device
    bool waited = false;
    std::uint64_t delivering = 0;  // the opening whose handlers run now (0: none)
    bool hangUpTold = false;
    // A partial message: when its first and latest chunks came.
    std::optional<Clock::time_point> partialSince;
    Clock::time_point lastChunk{};
};

}  // namespace vyx
