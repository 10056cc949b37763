#pragma once
// The time-outs and attempt counts of the tool's dealings with the device, each
// with why it has its value; the code that uses one names it from here. The
// timers' periods are beside the timers (TimerIntervals.h) and the port's driver
// time-outs beside its other settings (DevicePort.cpp), in the session.

#include <array>
#include <chrono>

namespace vyx {

// The stop-and-wait schedule of both exchanges (StopAndWait), in idle ticks of
// their timer: three resends two ticks apart, so a device busy for a moment is
// not flooded, then the exchange gives up: after 5 s of silence for a transfer,
// 1 s for a read.
inline constexpr std::array<int, 3> ResendIdleTicks = {3, 5, 7};
inline constexpr int GiveUpIdleTicks = 10;

// Receive coalescing (CoalesceDue, FrameCheck.h). A USB device delivers one
// message in packets of 64 bytes up to about a millisecond apart: a pause of
// CoalesceGap means the rest is not coming, and it stays well below the read's
// 100 ms tick, so a frame in pieces never costs a resend; CoalesceLimit bounds
// the wait for a device that trickles bytes for ever.
inline constexpr std::chrono::milliseconds CoalesceGap{20};
inline constexpr std::chrono::milliseconds CoalesceLimit{200};

// vyxctl's wait for a device's announcement, which a device repeats until it is
// spoken to. The port list, which only names the devices it hears, waits half as
// long as a command that serves one. A wait asked for may be up to ten minutes
// (time to plug a device in by hand).
inline constexpr std::chrono::milliseconds DeviceListenDefault{3000};
inline constexpr std::chrono::milliseconds PortsListenDefault{1500};
inline constexpr std::chrono::milliseconds ListenMaximum{600'000};

// vyxctl's safety nets around one exchange: each ends on its own resend schedule
// long before (a configuration in seconds, the firmware's 1,861 packages in well
// under a minute); these only stop a run that something else has wedged.
inline constexpr std::chrono::milliseconds ConfigExchangeLimit{60'000};
inline constexpr std::chrono::milliseconds UploadExchangeLimit{30 * 60'000};

/// Attempts at a free temporary name before a profile save gives up: each name
/// is random, so a clash twice in a row already means something else is wrong.
inline constexpr int TemporaryNameAttempts = 16;

}  // namespace vyx
