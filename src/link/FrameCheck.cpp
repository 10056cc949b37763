#include "FrameCheck.h"

#include "Frame.h"

namespace vyx {

namespace {

// Receiver of a frame meant for the tool: the low nibble of the address byte.
constexpr std::uint8_t ReceiverMask = 0x0F;

}  // namespace

FrameCheck CheckFrame(const std::uint8_t* bytes, std::size_t count) {
    FrameCheck check;
    if (count < MinFrameSize) {
        check.Verdict = FrameVerdict::TooShort;
        return check;
    }
    if (bytes[0] != FrameStart) {
        check.Verdict = FrameVerdict::BadStart;
        return check;
    }
    const std::size_t n = FramePayloadLength(bytes);
    if (n + FrameHeaderSize > MaxFrameBody) {
        check.Verdict = FrameVerdict::Oversized;
        return check;
    }
    // The length field is the device's word only; never trust it beyond what arrived.
    if (n + FrameOverhead > count) {
        check.Verdict = FrameVerdict::Incomplete;
        return check;
    }
    const std::size_t body = FrameHeaderSize + n;
    if (FrameChecksum(bytes, body) != ReadBE24(&bytes[body])) {
        check.Verdict = FrameVerdict::BadChecksum;
        return check;
    }
    check.Address = FrameAddressOf(bytes);
    check.Code = FrameCodeOf(bytes);
    if ((check.Address & ReceiverMask) != ToolAddress) {
        check.Verdict = FrameVerdict::WrongReceiver;
        return check;
    }
    check.Verdict = FrameVerdict::Frame;
    check.Payload = std::span<const std::uint8_t>(bytes + FrameHeaderSize, n);
    check.Surplus = count - (n + FrameOverhead);
    return check;
}

bool IsFrameComplete(const std::uint8_t* bytes, std::size_t count) {
    if (count == 0) {
        return false;
    }
    if (bytes[0] != FrameStart) {
        return true;
    }
    if (count < FrameHeaderSize) {
        return false;
    }
    const std::size_t n = FramePayloadLength(bytes);
    if (n + FrameHeaderSize > MaxFrameBody) {
        return true;
    }
    return count >= n + FrameOverhead;
}

}  // namespace vyx
