#include "Frame.h"

#include <algorithm>

namespace vyx {

std::uint32_t FrameChecksum(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += bytes[i];
    }
    return sum;
}

std::size_t SealFrame(std::span<std::uint8_t> frame, std::uint8_t address, std::uint8_t code,
                      std::size_t payloadSize) {
    frame[0] = FrameStart;
    frame[FrameAddressAt] = address;
    frame[FrameCodeAt] = code;
    PutBE16(&frame[FrameLengthAt], static_cast<std::uint32_t>(payloadSize));
    const std::size_t at = FrameHeaderSize + payloadSize;
    const std::uint32_t sum = FrameChecksum(frame.data(), at);
    frame[at] = static_cast<std::uint8_t>(sum >> 16);
    frame[at + 1] = static_cast<std::uint8_t>(sum >> 8);
    frame[at + 2] = static_cast<std::uint8_t>(sum);
    return at + FrameChecksumSize;
}

std::vector<std::uint8_t> EncodeFrameFrom(std::uint8_t address, std::uint8_t code,
                                          std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> frame(payload.size() + FrameOverhead);
    std::copy(payload.begin(), payload.end(), frame.begin() + FrameHeaderSize);
    SealFrame(frame, address, code, payload.size());
    return frame;
}

std::vector<std::uint8_t> EncodeFrame(std::uint8_t code, std::span<const std::uint8_t> payload) {
    return EncodeFrameFrom(ToolToDevice, code, payload);
}

}  // namespace vyx
