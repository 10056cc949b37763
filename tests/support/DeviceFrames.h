#pragma once
// Frames as the device sends them (address byte 0x12), for tests.

#include <cstdint>
#include <vector>

#include "DeviceIdentity.h"
#include "Frame.h"

namespace vyx::test {

inline std::vector<std::uint8_t> DeviceFrame(MessageCode code,
                                             const std::vector<std::uint8_t>& payload) {
    return EncodeFrameFrom(DeviceToTool, static_cast<std::uint8_t>(code), payload);
}

inline std::vector<std::uint8_t> AckFrame(std::uint32_t index) {
    std::vector<std::uint8_t> payload;
    AppendBE16(payload, index);
    return DeviceFrame(MessageCode::Ack, payload);
}

/// The 45-byte Identity payload: mode, ID words 2, 1, 0, two 12-byte texts,
/// version, configuration base.
inline std::vector<std::uint8_t> IdentityPayload(std::uint8_t mode, const DeviceId& id,
                                                 const DeviceVersion& version,
                                                 std::uint32_t configBase) {
    std::vector<std::uint8_t> p;
    p.push_back(mode);
    AppendBE32(p, id[2]);
    AppendBE32(p, id[1]);
    AppendBE32(p, id[0]);
    p.resize(p.size() + 24, '-');
    p.insert(p.end(), version.begin(), version.end());
    AppendBE32(p, configBase);
    return p;
}

inline std::vector<std::uint8_t> IdentityFrame(const DeviceVersion& version,
                                               const DeviceId& id = {3, 2, 1},
                                               std::uint8_t mode = 1,
                                               std::uint32_t configBase = 0x0801F000) {
    return DeviceFrame(MessageCode::Identity, IdentityPayload(mode, id, version, configBase));
}

}  // namespace vyx::test
