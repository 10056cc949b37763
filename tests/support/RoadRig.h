#pragma once
// One whole road without widgets: a simulated device on a pseudo-terminal in a
// private folder, the headless window stand-in, and the device session wired to
// it as the window wires it. For the road tests and the benchmarks.

#include <array>
#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "DeviceSession.h"
#include "HeadlessHost.h"
#include "PortFolder.h"
#include "SimBlocks.h"
#include "SimDevice.h"

namespace vyx::test {

/// Texts of the road's milestones in the log.
inline constexpr const char* UpToDateText = "O Vyx está atualizado!";
inline constexpr const char* ReadingText = "Buscando configuração interna...";
inline constexpr const char* ReadDoneText = "Leitura da configuração interna concluída!";
inline constexpr const char* TransferStartText = "Iniciando atualização...";
inline constexpr const char* TransferDoneText = "Atualização concluída com sucesso!";
inline constexpr const char* InvalidConfigText = "Configuração inválida!";

/// The headless window stand-in with the device session wired to it as the
/// window wires it, for a device found elsewhere.
struct RoadHost {
    RoadHost();
    HeadlessHost host;
    DeviceSession session;
};

/// The simulated device of a rig, made before the host and gone after it.
struct RoadDevicePart {
    explicit RoadDevicePart(sim::SimOptions options);
    PortFolder folder;
    sim::SimDevice device;
};

class RoadRig : public RoadDevicePart, public RoadHost {
public:
    /// Starts the device described by `options` (its port folder is the rig's own).
    explicit RoadRig(sim::SimOptions options);

    /// Opens the device's port as the connect button does.
    bool Connect() { return host.Connect(device.LinkPath()); }
    /// Runs the loop until `Log` holds `text` at least `times` times.
    bool RunUntilLogged(const std::string& text, std::chrono::milliseconds limit, int times = 1);
    /// Lines of `Log` with exactly this text.
    int CountLogged(const std::string& text) const;

    /// The receive faults of the current exchange (Nacks, Code10, Code15, Code20), summed.
    std::int32_t ReceiveFaults() const;

    /// The simulator's picture of the road.
    sim::SimStatus Device() const { return device.Status(); }
};

/// A device as the road tests want it: answering at once, announcing soon.
sim::SimOptions RoadDevice(std::array<std::uint8_t, 4> version = {4, 0, 2, 39});

/// How a rejected block is repaired: with the defaults, or with the Calvera preset
/// when "Forçar configuração Calvera" is ticked.
struct RepairCase {
    const char* name;
    bool calvera;
    sim::BlockKind stored;  // what the device must then hold
    const char* preparing;  // the log line before the repair write
    friend void PrintTo(const RepairCase& c, std::ostream* out) { *out << c.name; }
};

inline const RepairCase RepairCases[] = {
    {"Defaults", false, sim::BlockKind::Defaults, "Preparando configuração padrão..."},
    {"Calvera", true, sim::BlockKind::Preset, "Preparando configuração Calvera..."},
};

}  // namespace vyx::test
