#pragma once
// The periods of the tool's five timers, in one place: the window's timers and
// the headless stand-in's both take them from here.

#include <chrono>

#include "LinkHost.h"

namespace vyx {

/// Timer1: the package transfer's stop-and-wait tick.
inline constexpr std::chrono::milliseconds TransferTickInterval{500};
/// Timer2: the one-shot close, a moment after it was asked for.
inline constexpr std::chrono::milliseconds TimedCloseDelay{50};
/// Timer3: the configuration read's stop-and-wait tick.
inline constexpr std::chrono::milliseconds ReadTickInterval{100};
/// Timer4: the update check's steps.
inline constexpr std::chrono::milliseconds UpdateCheckInterval{1000};
/// Timer5: the one-shot layout fix right after start.
inline constexpr std::chrono::milliseconds LayoutFixDelay{10};

/// The period of a timer the device logic drives.
constexpr std::chrono::milliseconds IntervalOf(TimerId timer) {
    switch (timer) {
        case TimerId::Timer1:
            return TransferTickInterval;
        case TimerId::Timer2:
            return TimedCloseDelay;
        case TimerId::Timer3:
            break;
    }
    return ReadTickInterval;
}

}  // namespace vyx
