#pragma once
// Everything the window does with a connected device, wired once: the receive
// dispatcher with identification, the package transfer, the firmware commands,
// and the configuration read and write. The window (and the headless road test)
// own one DeviceSession and call its handler entry points; it talks back only
// through LinkHost, the port through PortIo and the editor through ConfigHost.

#include <cstdint>
#include <functional>
#include <span>

#include "ConfigHost.h"
#include "ConfigRead.h"
#include "ConfigWrite.h"
#include "FirmwareCommands.h"
#include "LinkHost.h"
#include "PortIo.h"
#include "ReceiveDispatcher.h"
#include "ReceiveTarget.h"
#include "TransferEngine.h"
#include "TransferIdSource.h"
#include "TransferProgress.h"

namespace vyx {

class DeviceSession : private ReceiveTarget {
public:
    /// `closeSoon` starts the timed close of the connection (after a write that
    /// asked for it).
    DeviceSession(LinkHost& host, PortIo& port, ConfigHost& editor, std::function<void()> closeSoon,
                  TransferIdSource ids = TransferIdSource());
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    /// The port's received-characters notification with the bytes waiting.
    void VCPRxChar(int count) { dispatcher.VCPRxChar(count); }
    /// Ticks of the transfer (500 ms) and configuration read (100 ms) timers.
    void Timer1Timer() { engine.Timer1Timer(); }
    void Timer3Timer() { read.Timer3Timer(); }

    /// FwUpload: starts the firmware upload (nothing for an unserved device).
    bool B_FwTxClick() { return firmware.B_FwTxClick(); }
    /// FwJump: sends the jump command while the port is open.
    void B_FwJumpClick() { firmware.B_FwJumpClick(); }
    /// Uploads `image` with its `trailer` instead of the embedded firmware, to a
    /// device of a served product line only.
    bool UploadFirmware(std::span<const std::uint8_t> image, const TransferTrailer& trailer);
    /// GetConfig: starts the configuration read.
    void B_GetConfigClick() { read.B_GetConfigClick(); }
    /// CONFIGURAR: checks the editor and writes the configuration.
    bool B_SetConfigClick() { return write.B_SetConfigClick(); }
    /// Whether a rejected read is repaired at once (see ConfigRead::SetRepair).
    void SetRepairOnRead(bool repair) { read.SetRepair(repair); }
    /// Lists the remote configuration commands for the editor's values in Log
    /// (cleared first) and empties the edits whose values are bad.
    void B_RemConfigClick();

    /// The port was opened: the next ready-for-service identity is acted on.
    void PortOpened() { dispatcher.Identification().ResetIdentityHandled(); }
    /// The device went away: a transfer or read under way stops where it is,
    /// without its failure box (the connection tells why).
    void PortLost();
    /// "Limpar": empties the ID list and its count.
    void L_ClearClick() { dispatcher.Identification().ClearIdList(); }

    const DeviceIdentification& Identification() const { return dispatcher.Identification(); }
    const TransferProgress& Progress() const { return progress; }
    const TransferEngine& Engine() const { return engine; }
    const ConfigRead& Read() const { return read; }

private:
    void Acknowledge(std::span<const std::uint8_t> payload) override;
    void NegativeAcknowledge() override;
    void MemoryReadReply(std::span<const std::uint8_t> payload) override;
    void StartFirmwareUpload() override;
    void StartConfigRead() override;
    void TransferTick() override;
    void TransferFinished(std::uint32_t kind);

    LinkHost& host;
    ConfigHost& editor;
    std::function<void()> closeSoon;
    TransferProgress progress;
    ReceiveDispatcher dispatcher;
    TransferEngine engine;
    FirmwareCommands firmware;
    ConfigWrite write;
    ConfigRead read;
};

}  // namespace vyx
