#include "Frame.h"

namespace vyx {

std::uint32_t FrameChecksum(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += bytes[i];
    }
    return sum;
}

std::vector<std::uint8_t> EncodeFrameFrom(std::uint8_t address, std::uint8_t code,
                                          std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> frame;
    frame.reserve(payload.size() + FrameOverhead);
    frame.push_back(FrameStart);
    frame.push_back(address);
    frame.push_back(code);
    AppendBE16(frame, static_cast<std::uint32_t>(payload.size()));
    frame.insert(frame.end(), payload.begin(), payload.end());
    const std::uint32_t sum = FrameChecksum(frame.data(), frame.size());
    frame.push_back(static_cast<std::uint8_t>(sum >> 16));
    frame.push_back(static_cast<std::uint8_t>(sum >> 8));
    frame.push_back(static_cast<std::uint8_t>(sum));
    return frame;
}

std::vector<std::uint8_t> EncodeFrame(std::uint8_t code, std::span<const std::uint8_t> payload) {
    return EncodeFrameFrom(ToolToDevice, code, payload);
}

}  // namespace vyx
