#include "DeviceIdentity.h"

#include <cstdio>

#include "Frame.h"

namespace vyx {

namespace {

// Payload offsets of the Identity frame. Texts A and B (13..36) are not used.
constexpr std::size_t ModeOffset = 0;
constexpr std::size_t IdWord2Offset = 1;
constexpr std::size_t IdWord1Offset = 5;
constexpr std::size_t IdWord0Offset = 9;
constexpr std::size_t VersionOffset = 37;
constexpr std::size_t ConfigBaseOffset = 41;

}  // namespace

std::string IdText(const DeviceId& id) {
    char text[32];
    std::snprintf(text, sizeof text, "%.8X %.8X %.8X", id[0], id[1], id[2]);
    return text;
}

std::string VersionText(const DeviceVersion& v) {
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
           std::to_string(v[3]);
}

std::optional<DeviceIdentity> DecodeIdentity(std::span<const std::uint8_t> payload) {
    if (payload.size() < IdentityPayloadSize) {
        return std::nullopt;
    }
    const std::uint8_t* p = payload.data();
    DeviceIdentity identity;
    identity.IdentityMode = p[ModeOffset];
    identity.Id[2] = ReadBE32(p + IdWord2Offset);
    identity.Id[1] = ReadBE32(p + IdWord1Offset);
    identity.Id[0] = ReadBE32(p + IdWord0Offset);
    for (std::size_t i = 0; i < identity.Version.size(); ++i) {
        identity.Version[i] = p[VersionOffset + i];
    }
    identity.ConfigBase = ReadBE32(p + ConfigBaseOffset);
    return identity;
}

bool IsServedProductLine(std::uint8_t productLine) {
    return productLine == 3 || productLine == 4 || productLine == 41;
}

bool IsListedRelease(const DeviceVersion& version) {
    return version[0] == ListedProductLine && version[2] == CurrentReleaseMajor &&
           version[3] == CurrentReleaseMinor;
}

IdentityAction DecideIdentityAction(const DeviceVersion& version) {
    const std::uint8_t line = version[0];
    if (line == 1 || line == 2) {
        return IdentityAction::Discontinued;
    }
    if (!IsServedProductLine(line)) {
        return IdentityAction::Nothing;
    }
    if (HasNoFirmware(version) || RunsOnlyLoader(version)) {
        return IdentityAction::UploadFirmware;
    }
    const std::uint8_t major = version[2];
    const std::uint8_t minor = version[3];
    if (major < CurrentReleaseMajor ||
        (major == CurrentReleaseMajor && minor < CurrentReleaseMinor)) {
        return IdentityAction::UploadFirmware;
    }
    // Never put our release over a later one: a newer device is only read.
    return IdentityAction::UpToDate;
}

}  // namespace vyx
