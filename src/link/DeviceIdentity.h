#pragma once
// What a device says about itself in its Identity frame, and what the tool makes
// of it: served or discontinued product line, firmware older than ours or not.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vyx {

/// Bytes of an Identity payload the tool reads; a shorter payload is dropped.
inline constexpr std::size_t IdentityPayloadSize = 45;

/// The firmware release the tool carries (and its own version number): 2.39.
inline constexpr std::uint8_t CurrentReleaseMajor = 2;
inline constexpr std::uint8_t CurrentReleaseMinor = 39;

/// Release bytes that mark a device without usable firmware: both at BlankRelease
/// (nothing loaded), or the major at BootloaderMajor (only the loader runs).
inline constexpr std::uint8_t BlankRelease = 255;
inline constexpr std::uint8_t BootloaderMajor = 99;

/// The product line whose devices at the current release go into the ID list.
inline constexpr std::uint8_t ListedProductLine = 4;

using DeviceId = std::array<std::uint32_t, 3>;  // [0] is word 0, shown first
using DeviceVersion = std::array<std::uint8_t, 4>;

/// Whether the device holds no firmware at all.
constexpr bool HasNoFirmware(const DeviceVersion& version) {
    return version[2] == BlankRelease && version[3] == BlankRelease;
}
/// Whether only the firmware loader runs on the device.
constexpr bool RunsOnlyLoader(const DeviceVersion& version) {
    return version[2] == BootloaderMajor;
}

struct DeviceIdentity {
    std::uint8_t IdentityMode = 0;  // 0: still in operating mode
    DeviceId Id{};
    DeviceVersion Version{};  // product line, shown-only byte, release major, minor
    std::uint32_t ConfigBase = 0;
};

/// The ID as the ID list shows it: three words in eight hexadecimal digits each.
std::string IdText(const DeviceId& id);
/// "4.0.2.39": product line, then the three release bytes.
std::string VersionText(const DeviceVersion& version);

/// Decodes the fixed positions of an Identity payload; nothing when it is too short.
std::optional<DeviceIdentity> DecodeIdentity(std::span<const std::uint8_t> payload);

/// What identification does for a ready-for-service device of this version.
enum class IdentityAction {
    Discontinued,    // red warning, then read the configuration
    UploadFirmware,  // older (or blank) firmware on a served line
    UpToDate,        // served line at our release or later: read the configuration
    Nothing,         // unknown product line: only the version line
};

/// What a device's firmware needs, judged from its version alone.
enum class FirmwareNeed {
    Current,       // served line at our release or later
    Older,         // served line, a release before ours
    Blank,         // served line, no firmware at all
    LoaderOnly,    // served line, only the firmware loader runs
    Discontinued,  // product line 1 or 2
    NotServed,     // any other product line
};

/// One row of the table of firmware needs: what identification does about it,
/// and the words every door uses for it.
struct FirmwareNeedWords {
    FirmwareNeed Need;
    IdentityAction Action;
    const char* Code;        // for programs (vyxctl --json), kept stable: "needs upload"
    const char* Text;        // for people: "precisa de atualização"
    const char* ActionCode;  // what identification starts, for the page's script: "upload"
    const char* Why;         // why the upload is needed, "%s" the version; empty if none
};

FirmwareNeed NeedOf(const DeviceVersion& version);
const FirmwareNeedWords& WordsOf(FirmwareNeed need);
inline const FirmwareNeedWords& WordsOf(const DeviceVersion& version) {
    return WordsOf(NeedOf(version));
}

IdentityAction DecideIdentityAction(const DeviceVersion& version);

/// Why a device needs the upload: no firmware at all, only the loader, or (for
/// any other version) an older release.
std::string UploadNeededText(const DeviceVersion& version);

/// Product lines our firmware image is made for: 3, 4 and 41.
bool IsServedProductLine(std::uint8_t productLine);

/// A 4.x.2.39 device (byte 1 is not looked at): listed by ID, and the one that
/// closes the port after a configuration write when asked to.
bool IsListedRelease(const DeviceVersion& version);

}  // namespace vyx
