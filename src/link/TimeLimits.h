#pragma once
// Every period, time-out and attempt count of the tool's dealings with the
// device, in one place, each with why it has its value. The code that uses one
// names it from here; nothing else writes these numbers.

#include <array>
#include <chrono>

namespace vyx {

// The five timers' periods (TimerIntervals.h hands them to the timers).

/// Timer1, the package transfer's stop-and-wait tick: a device acknowledges a
/// package within a millisecond or two (the benchmark holds 1,861 of them to a
/// second), so a whole tick without an answer means a frame was lost.
inline constexpr std::chrono::milliseconds TransferTickInterval{500};
/// Timer2, the one-shot close, a moment after it was asked for: the receive
/// handler that asks for a close only starts this timer, so the close never
/// runs inside it.
inline constexpr std::chrono::milliseconds TimedCloseDelay{50};
/// Timer3, the configuration read's stop-and-wait tick: a memory read writes
/// nothing on the device and is answered as fast, so the read gives up sooner.
inline constexpr std::chrono::milliseconds ReadTickInterval{100};
/// Timer4, the update check's steps: the check counts its request, its wait and
/// its verdict in these ticks (UpdateCheck).
inline constexpr std::chrono::milliseconds UpdateCheckInterval{1000};
/// Timer5, the one-shot layout fix right after start: once the window's first
/// show has been handled.
inline constexpr std::chrono::milliseconds LayoutFixDelay{10};

// The stop-and-wait schedule of both exchanges (StopAndWait), in idle ticks of
// their timer: three resends two ticks apart, so a device busy for a moment is
// not flooded, then the exchange gives up: after 5 s of silence for a transfer,
// 1 s for a read.
inline constexpr std::array<int, 3> ResendIdleTicks = {3, 5, 7};
inline constexpr int GiveUpIdleTicks = 10;

// Receive coalescing (CoalesceDue, FrameCheck.h). A USB device delivers one
// message in packets of 64 bytes up to about a millisecond apart: a pause of
// CoalesceGap means the rest is not coming; CoalesceLimit bounds the wait for a
// device that trickles bytes for ever. Both stay far below ReadTickInterval, so
// coalescing never costs a resend.
inline constexpr std::chrono::milliseconds CoalesceGap{20};
inline constexpr std::chrono::milliseconds CoalesceLimit{200};

// The port's read and write time-outs in milliseconds (DevicePort): a read waits
// at most DeviceReadInterval between bytes and DeviceReadTotalConstant plus
// DeviceReadTotalMultiplier per byte in all, though the tool only reads what has
// arrived; a write waits 2 ms plus 2 ms per byte, many times what the line needs
// for a byte, so only a device that stopped reading makes a write fail.
inline constexpr int DeviceReadInterval = 200;
inline constexpr int DeviceReadTotalMultiplier = 100;
inline constexpr int DeviceReadTotalConstant = 100;
inline constexpr int DeviceWriteTotalMultiplier = 2;
inline constexpr int DeviceWriteTotalConstant = 2;

// vyxctl's wait for a device's announcement, which a device repeats until it is
// spoken to: three seconds see several; the port list, which only names the
// devices, waits half as long. A wait asked for may be up to ten minutes (time
// to plug a device in by hand).
inline constexpr std::chrono::milliseconds DeviceListenDefault{3000};
inline constexpr std::chrono::milliseconds PortsListenDefault{1500};
inline constexpr std::chrono::milliseconds ListenMaximum{600'000};

/// Attempts at a free temporary name before a profile save gives up: each name
/// is random, so a clash twice in a row already means something else is wrong.
inline constexpr int TemporaryNameAttempts = 16;

}  // namespace vyx
