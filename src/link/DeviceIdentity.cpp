#include "DeviceIdentity.h"

#include <cstdio>
#include <iterator>
#include <string_view>

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

FirmwareNeed NeedOf(const DeviceVersion& version) {
    const std::uint8_t line = version[0];
    if (line == 1 || line == 2) {
        return FirmwareNeed::Discontinued;
    }
    if (!IsServedProductLine(line)) {
        return FirmwareNeed::NotServed;
    }
    if (HasNoFirmware(version)) {
        return FirmwareNeed::Blank;
    }
    if (RunsOnlyLoader(version)) {
        return FirmwareNeed::LoaderOnly;
    }
    const std::uint8_t major = version[2];
    const std::uint8_t minor = version[3];
    if (major < CurrentReleaseMajor ||
        (major == CurrentReleaseMajor && minor < CurrentReleaseMinor)) {
        return FirmwareNeed::Older;
    }
    // Never put our release over a later one: a newer device is only read.
    return FirmwareNeed::Current;
}

const FirmwareNeedWords& WordsOf(FirmwareNeed need) {
    static constexpr FirmwareNeedWords Table[] = {
        {FirmwareNeed::Current, IdentityAction::UpToDate, "up to date", "atualizado", "upToDate",
         ""},
        {FirmwareNeed::Older, IdentityAction::UploadFirmware, "needs upload",
         "precisa de atualização", "upload",
         "o firmware %s é mais antigo que a versão que esta ferramenta leva"},
        {FirmwareNeed::Blank, IdentityAction::UploadFirmware, "needs upload",
         "precisa de atualização", "upload", "o Vyx está sem firmware (%s)"},
        {FirmwareNeed::LoaderOnly, IdentityAction::UploadFirmware, "needs upload",
         "precisa de atualização", "upload", "o Vyx está só com o carregador de firmware (%s)"},
        {FirmwareNeed::Discontinued, IdentityAction::Discontinued, "discontinued", "descontinuado",
         "discontinued", ""},
        {FirmwareNeed::NotServed, IdentityAction::Nothing, "not served", "não atendido", "nothing",
         ""},
    };
    for (const FirmwareNeedWords& row : Table) {
        if (row.Need == need) {
            return row;
        }
    }
    return Table[std::size(Table) - 1];
}

IdentityAction DecideIdentityAction(const DeviceVersion& version) {
    return WordsOf(version).Action;
}

std::string UploadNeededText(const DeviceVersion& version) {
    std::string_view why = WordsOf(version).Why;
    if (why.empty()) {
        why = WordsOf(FirmwareNeed::Older).Why;
    }
    // Built front to back, as the Windows cross-compiler's optimiser wants it.
    const std::size_t at = why.find("%s");
    return std::string(why.substr(0, at)) + VersionText(version) + std::string(why.substr(at + 2));
}

}  // namespace vyx
