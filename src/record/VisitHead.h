#pragma once
// The head of one visit: who, where, when, which device, how it ended. One plain
// row of texts, so that a store keeps it column by column and a visit is rebuilt
// from it, its steps and its log lines.

#include <string>
#include <string_view>

namespace vyx {

/// The door a visit came through.
inline constexpr std::string_view DoorWindow = "janela";
inline constexpr std::string_view DoorCli = "vyxctl";
inline constexpr std::string_view DoorPage = "página";

/// How a visit ended. A visit still open (or ended by a crash before its close
/// was stored) reads ResultOpen.
inline constexpr std::string_view ResultOpen = "em curso";
inline constexpr std::string_view ResultDone = "concluída";
inline constexpr std::string_view ResultFailed = "falhou";
inline constexpr std::string_view ResultCut = "interrompida";

struct VisitHead {
    std::string Uuid;         // random (version 4), lower-case, 36 characters
    std::string Door;         // DoorWindow, DoorCli or DoorPage
    std::string ToolVersion;  // "2.39.C"
    std::string Host;         // the desktop's host name; empty in the page
    // ISO 8601 in local time with its offset from UTC: "2026-12-09T10:29:40-03:00".
    // The instant is exact and the workshop's clock is kept. EndedAt is empty
    // while the visit is open.
    std::string StartedAt;
    std::string EndedAt;
    std::string DeviceId;             // as the ID list shows it; empty before identification
    std::string DeviceVersionBefore;  // "4.0.2.30", as first identified
    std::string DeviceVersionAfter;   // as last identified
    // The service fields, as typed (capped, invalid UTF-8 replaced).
    std::string Technician;
    std::string Plate;
    std::string Vin;  // VIN or fleet number
    std::string WorkOrder;
    std::string Note;
    std::string Result;  // ResultOpen, ResultDone, ResultFailed or ResultCut
    // Where the visit was cut, empty when it was not:
    // "envio do firmware interrompido no pacote 501 de 1.861".
    std::string Cut;

    bool operator==(const VisitHead&) const = default;
};

}  // namespace vyx
