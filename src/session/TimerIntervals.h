#pragma once
// The periods of the tool's five timers (TimeLimits.h, with every other time-out):
// the window's timers, the headless stand-in's and the page's take them from here.

#include <chrono>

#include "LinkHost.h"
#include "TimeLimits.h"

namespace vyx {

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
