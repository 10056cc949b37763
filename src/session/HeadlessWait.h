#pragma once
// The headless loop's sleep, one unit per platform.

#include <chrono>
#include <memory>

#include "Cport.h"

namespace vyx {

/// What the headless loop sleeps on between its passes. On POSIX systems the
/// loop waits on the port itself (its descriptor and a wake-up) and the port runs
/// no event thread: a received message costs no thread hand-off. On Windows the
/// port keeps its event thread, whose hand-overs wake the loop.
class HeadlessWait {
public:
    using Clock = std::chrono::steady_clock;

    /// Takes over the notifications of `port` (before it is opened).
    explicit HeadlessWait(TComPort& port);
    ~HeadlessWait();
    HeadlessWait(const HeadlessWait&) = delete;
    HeadlessWait& operator=(const HeadlessWait&) = delete;

    /// Any thread: ends the current or the next Until() at once.
    void WakeUp();
    /// Sleeps until `until`, a wake-up, or news from the port.
    void Until(Clock::time_point until);
    /// Runs the port's notifications that are due (its handlers, on this thread).
    void Receive();

private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace vyx
