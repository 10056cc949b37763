#pragma once
// Checks the bytes of one receive notification as one frame. Only a frame that
// starts at the first byte is taken; there is no reassembly across notifications.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "TimeLimits.h"

namespace vyx {

/// Shortest notification that can hold a frame (a frame without payload).
inline constexpr std::size_t MinFrameSize = 8;

enum class FrameVerdict {
    Frame,          // a whole frame for the tool
    TooShort,       // fewer than 8 bytes
    BadStart,       // first byte is not the start byte
    Oversized,      // declared header plus payload above MaxFrameBody
    Incomplete,     // declared frame longer than the bytes at hand
    BadChecksum,    // the sum does not match
    WrongReceiver,  // addressed to someone other than the tool
};

struct FrameCheck {
    FrameVerdict Verdict = FrameVerdict::TooShort;
    std::uint8_t Address = 0;
    std::uint8_t Code = 0;
    std::span<const std::uint8_t> Payload;  // points into the checked bytes
    std::size_t Surplus = 0;                // bytes after the frame (dropped)
};

/// Runs the checks in their fixed order; the first failing one decides the verdict.
/// Never reads past `count`.
FrameCheck CheckFrame(const std::uint8_t* bytes, std::size_t count);

/// The serial layer's frame-complete hint (TCustomComPort::SetFrameCompleteHint),
/// for its receive coalescing: true when the bytes already hold a
/// whole frame, or can never become one (wrong start byte, over-long length), so
/// waiting for more would only add latency; false while the rest of a frame that
/// has started well is still due.
bool IsFrameComplete(const std::uint8_t* bytes, std::size_t count);

// Receive coalescing, for every door's receive side (the desktop port's event
// thread on each platform, the page's receive buffer). Bytes that hold whole
// frames (IsFrameComplete) go on at once: no latency is added. Bytes that end in
// a partial frame wait for the rest, every new chunk asking the hint again, until
// a pause of CoalesceGap without a byte or CoalesceLimit in all (TimeLimits.h);
// then they go on as they are (the receive handler copes with a partial frame).
/// When a partial frame that began arriving at `first`, with its latest chunk at
/// `last`, goes on as it is.
inline std::chrono::steady_clock::time_point CoalesceDue(
    std::chrono::steady_clock::time_point first, std::chrono::steady_clock::time_point last) {
    return std::min(first + CoalesceLimit, last + CoalesceGap);
}

}  // namespace vyx
