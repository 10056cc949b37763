#include "HeadlessTimers.h"

#include <utility>

#include "TimerIntervals.h"

namespace vyx {

namespace {

constexpr TimerId AllTimers[] = {TimerId::Timer1, TimerId::Timer2, TimerId::Timer3};

}  // namespace

HeadlessTimers::HeadlessTimers() {
    for (const TimerId timer : AllTimers) {
        At(timer).interval = IntervalOf(timer);
    }
}

void HeadlessTimers::SetHandler(TimerId timer, std::function<void()> tick) {
    At(timer).tick = std::move(tick);
}

void HeadlessTimers::SetEnabled(TimerId timer, bool enabled) {
    Timer& t = At(timer);
    if (enabled && !t.enabled) {
        t.due = Clock::now() + t.interval;
    }
    t.enabled = enabled;
}

bool HeadlessTimers::Enabled(TimerId timer) const {
    return At(timer).enabled;
}

void HeadlessTimers::RunDue(const std::function<bool(TimerId)>& allowed) {
    for (TimerId id : AllTimers) {
        Timer& t = At(id);
        const auto now = Clock::now();
        if (!t.enabled || t.running || now < t.due || (allowed && !allowed(id))) {
            continue;
        }
        // Missed periods are not made up: one tick, and the next period from now.
        t.due = now + t.interval;
        ++t.ticks;
        if (!t.tick) {
            continue;
        }
        t.running = true;
        try {
            t.tick();
        } catch (...) {
            t.running = false;
            throw;
        }
        t.running = false;
    }
}

std::optional<HeadlessTimers::Clock::time_point> HeadlessTimers::NextDue() const {
    std::optional<Clock::time_point> next;
    for (const Timer& t : timers) {
        if (t.enabled && !t.running && (!next || t.due < *next)) {
            next = t.due;
        }
    }
    return next;
}

}  // namespace vyx
