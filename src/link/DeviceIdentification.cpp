#include "DeviceIdentification.h"

#include <array>
#include <cstdio>
#include <string>

namespace vyx {

namespace {

constexpr std::array<const char*, 5> OperatingModeLines = {
    "O Vyx foi detectado em modo de operação!",
    "1-Desconectar todos os chicotes",
    "2-Conectar apenas o cabo USB",
    "3-Aguardar o Windows criar a porta (5 segundos)",
    "4-Rodar o VyxTool e abrir a porta COM criada",
};
constexpr const char* DiscontinuedText =
    "Essa versão do vyx está descontinuada, entre em contato com a Orvanel para mais "
    "informações!";
constexpr const char* UpToDateText = "O Vyx está atualizado!";
constexpr const char* VersionFormat = "Vyx v%d.%d.%d.%d\r\nId: %.8X %.8X %.8X";

}  // namespace

DeviceIdentification::DeviceIdentification(LinkHost& host, ReceiveTarget& target)
    : host(host), target(target) {}

bool DeviceIdentification::HandleIdentity(std::span<const std::uint8_t> payload) {
    if (IdentityHandled) {
        return true;
    }
    const auto decoded = DecodeIdentity(payload);
    if (!decoded) {
        return false;
    }
    stored = *decoded;
    hasIdentity = true;
    target.DeviceIdentified(stored);
    if (stored.IdentityMode == 0) {
        OperatingModeNotice();
        return false;
    }

    LogVersion();
    if (IsListedRelease(stored.Version) && stored.Id != LastListedId) {
        ListId();
    }

    switch (DecideIdentityAction(stored.Version)) {
        case IdentityAction::Discontinued:
            host.SetLogColour(LogPane::Log, LogRed);
            host.AppendLog(LogPane::Log, DiscontinuedText);
            target.StartConfigRead();
            break;
        case IdentityAction::UploadFirmware:
            target.StartFirmwareUpload();
            break;
        case IdentityAction::UpToDate:
            host.AppendLog(LogPane::Log, UpToDateText);
            target.StartConfigRead();
            break;
        case IdentityAction::Nothing:
            break;
    }
    IdentityHandled = true;
    return true;
}

void DeviceIdentification::OperatingModeNotice() {
    for (const char* line : OperatingModeLines) {
        host.AppendLog(LogPane::Log, line);
    }
    // A close already due stays due: a device that repeats its notice would
    // otherwise keep the port open for ever.
    if (!host.TimerEnabled(TimerId::Timer2)) {
        host.SetTimerEnabled(TimerId::Timer2, true);
    }
    target.OperatingModeNoticeGiven();
}

void DeviceIdentification::ClearIdList() {
    host.SetIdListText("");
    host.ClearLog(LogPane::IdList);
    LastListedId = {};
    ListedIdCount = 0;
}

void DeviceIdentification::LogVersion() {
    char text[96];
    std::snprintf(text, sizeof text, VersionFormat, stored.Version[0], stored.Version[1],
                  stored.Version[2], stored.Version[3], stored.Id[0], stored.Id[1], stored.Id[2]);
    host.AppendLog(LogPane::Log, text);
}

void DeviceIdentification::ListId() {
    ++ListedIdCount;
    LastListedId = stored.Id;
    host.AppendLog(LogPane::IdList, IdText(stored.Id));
    host.SetIdListText(std::to_string(ListedIdCount));
}

}  // namespace vyx
