#pragma once
// The window's timers 1, 2 and 3 on the steady clock, for a loop without a window
// (the headless test host, vyxctl): each has an interval, an enabled state and a tick handler.

#include <array>
#include <chrono>
#include <functional>
#include <optional>

#include "LinkHost.h"

namespace vyx {

class HeadlessTimers {
public:
    using Clock = std::chrono::steady_clock;

    /// The tool's intervals, all disabled, no handlers.
    HeadlessTimers();

    void SetHandler(TimerId timer, std::function<void()> tick);
    /// Enabling a disabled timer starts its first period now; enabling a running
    /// one changes nothing (as a window timer behaves).
    void SetEnabled(TimerId timer, bool enabled);
    bool Enabled(TimerId timer) const;

    /// Runs the tick of every enabled timer whose period has passed, once, unless
    /// that timer's tick is already running further up the stack or `allowed`
    /// refuses it (it then stays due). The next period starts before the tick runs.
    void RunDue(const std::function<bool(TimerId)>& allowed);

    /// When the earliest enabled timer is due; none while all are disabled.
    std::optional<Clock::time_point> NextDue() const;

    /// How many ticks each timer has run.
    int Ticks(TimerId timer) const { return At(timer).ticks; }

private:
    struct Timer {
        std::chrono::milliseconds interval{0};
        std::function<void()> tick;
        bool enabled = false;
        bool running = false;
        Clock::time_point due{};
        int ticks = 0;
    };
    Timer& At(TimerId timer) { return timers[static_cast<std::size_t>(timer)]; }
    const Timer& At(TimerId timer) const { return timers[static_cast<std::size_t>(timer)]; }

    std::array<Timer, 3> timers;
};

}  // namespace vyx
