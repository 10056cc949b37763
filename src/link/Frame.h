#pragma once
// The one frame format of the serial link, used in both directions:
//   BC | address (sender << 4 | receiver) | code | length (16, BE) | payload | sum (24, BE)
// The sum is the plain byte sum of everything before it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vyx {

inline constexpr std::uint8_t FrameStart = 0xBC;
inline constexpr std::uint8_t ToolAddress = 2;
inline constexpr std::uint8_t DeviceAddress = 1;
// Address byte of every frame the tool sends: from the tool (2) to the device (1).
inline constexpr std::uint8_t ToolToDevice = (ToolAddress << 4) | DeviceAddress;
// Address byte of frames the device sends to the tool.
inline constexpr std::uint8_t DeviceToTool = (DeviceAddress << 4) | ToolAddress;

// Where the header's fields stand: address, code, then the payload's length.
inline constexpr std::size_t FrameAddressAt = 1;
inline constexpr std::size_t FrameCodeAt = 2;
inline constexpr std::size_t FrameLengthAt = 3;
inline constexpr std::size_t FrameHeaderSize = 5;
inline constexpr std::size_t FrameChecksumSize = 3;
inline constexpr std::size_t FrameOverhead = FrameHeaderSize + FrameChecksumSize;  // 8
// Header plus payload of a received frame may not exceed this (payload <= 1019).
inline constexpr std::size_t MaxFrameBody = 1024;

enum class MessageCode : std::uint8_t {
    FirmwarePackage = 1,
    Ack = 2,
    Nack = 3,
    Identity = 4,
    Jump = 5,
    ConfigPackage = 6,
    MemoryRead = 7,
    OperatingMode = 11,
};

/// Plain sum of the first `count` bytes, in a 32-bit accumulator.
std::uint32_t FrameChecksum(const std::uint8_t* bytes, std::size_t count);

/// Builds a whole frame from the tool (address byte 0x21).
std::vector<std::uint8_t> EncodeFrame(std::uint8_t code, std::span<const std::uint8_t> payload);
inline std::vector<std::uint8_t> EncodeFrame(MessageCode code,
                                             std::span<const std::uint8_t> payload) {
    return EncodeFrame(static_cast<std::uint8_t>(code), payload);
}

/// Completes a frame in place around a payload of `payloadSize` bytes already
/// at frame[FrameHeaderSize]: the header before it, the sum after it. `frame`
/// holds at least payloadSize + FrameOverhead bytes. Returns the frame's size.
std::size_t SealFrame(std::span<std::uint8_t> frame, std::uint8_t address, std::uint8_t code,
                      std::size_t payloadSize);

/// Builds a whole frame with any address byte (the device simulator sends 0x12).
std::vector<std::uint8_t> EncodeFrameFrom(std::uint8_t address, std::uint8_t code,
                                          std::span<const std::uint8_t> payload);

/// Big-endian helpers shared by every payload codec.
inline std::uint16_t ReadBE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t ReadBE24(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}
inline std::uint32_t ReadBE32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}
inline void PutBE16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}
inline void AppendBE16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}
inline void AppendBE32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

/// The header's fields of a frame whose first FrameHeaderSize bytes are at `frame`.
/// The length is the sender's word only: check it against what arrived.
inline std::uint8_t FrameAddressOf(const std::uint8_t* frame) {
    return frame[FrameAddressAt];
}
inline std::uint8_t FrameCodeOf(const std::uint8_t* frame) {
    return frame[FrameCodeAt];
}
inline std::size_t FramePayloadLength(const std::uint8_t* frame) {
    return ReadBE16(frame + FrameLengthAt);
}
/// Header, payload and sum, as the length field declares them.
inline std::size_t FrameSizeOf(const std::uint8_t* frame) {
    return FrameOverhead + FramePayloadLength(frame);
}

}  // namespace vyx
