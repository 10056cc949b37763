#pragma once
// Everything the tool does with a connected device, wired once: the receive
// dispatcher with identification, the package transfer, the firmware commands,
// and the configuration read and write. Each door (the window, vyxctl, the page,
// and the headless road tests) owns one DeviceSession and calls its handler
// entry points; it shows what it does through LinkHost, reaches the port
// through PortIo and the editor through ConfigHost, and says what happened, in
// the device's terms, through SessionEvents.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "ConfigHost.h"
#include "ConfigRead.h"
#include "ConfigWrite.h"
#include "FirmwareCommands.h"
#include "LinkHost.h"
#include "PortIo.h"
#include "ReceiveDispatcher.h"
#include "ReceiveTarget.h"
#include "SessionEvents.h"
#include "SessionRelay.h"
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

    /// Adds a receiver of the outcomes (a door, the service record); it must
    /// outlive the session or be removed first.
    void AddEvents(SessionEvents& events) { receivers.push_back(&events); }
    void RemoveEvents(SessionEvents& events);

    /// Whether identification starts what the device needs (the upload, or the
    /// configuration read) as the window does; a door that decides for itself
    /// turns it off and acts on SessionEvents::Identified.
    void SetStartsOnIdentity(bool starts) { startsOnIdentity = starts; }

    /// The port's received-characters notification with the bytes waiting.
    void VCPRxChar(int count) { dispatcher.VCPRxChar(count); }
    /// Ticks of the transfer (500 ms) and configuration read (100 ms) timers.
    void Timer1Timer() { engine.Timer1Timer(); }
    void Timer3Timer() { read.Timer3Timer(); }

    /// FwUpload: starts the firmware upload (nothing for an unserved device).
    bool B_FwTxClick();
    /// FwJump: sends the jump command while the port is open.
    void B_FwJumpClick() { firmware.B_FwJumpClick(); }
    /// Uploads `image` with its `trailer` instead of the embedded firmware, to a
    /// device of a served product line only.
    bool UploadFirmware(std::span<const std::uint8_t> image, const TransferTrailer& trailer);
    /// GetConfig: starts the configuration read.
    void B_GetConfigClick();
    /// CONFIGURAR: checks the editor and writes the configuration.
    bool B_SetConfigClick();
    /// Reads the block again after a write, without repairing it, and reports
    /// SessionEvents::ReadBack (equal, or the first difference) instead of
    /// ConfigurationRead.
    void ReadBackWrite();
    /// Whether a rejected read is repaired at once (see ConfigRead::SetRepair).
    void SetRepairOnRead(bool repair);
    /// Lists the remote configuration commands for the editor's values in Log
    /// (cleared first) and empties the edits whose values are bad.
    void B_RemConfigClick();

    /// The port was opened: the next ready-for-service identity is acted on.
    void PortOpened();
    /// The port was closed by a door (the connect button) or, with `timed`, by
    /// the timed close: a transfer or read under way stops where it is, without
    /// its failure box, so nothing of it reaches the next connection.
    void PortClosed(bool timed = false);
    /// The device went away: as a close, and counted as a link loss (an
    /// exchange giving up meanwhile shows no box: the connection tells why).
    void PortLost();
    /// "Limpar": empties the ID list and its count.
    void L_ClearClick() { dispatcher.Identification().ClearIdList(); }

    const DeviceIdentification& Identification() const { return dispatcher.Identification(); }
    const TransferProgress& Progress() const { return progress; }
    const TransferEngine& Engine() const { return engine; }
    const ConfigRead& Read() const { return read; }

private:
    void DeviceIdentified(const DeviceIdentity& identity) override;
    void OperatingModeNoticeGiven() override;
    void Acknowledge(std::span<const std::uint8_t> payload) override;
    void NegativeAcknowledge() override;
    void MemoryReadReply(std::span<const std::uint8_t> payload) override;
    void StartFirmwareUpload() override;
    void StartConfigRead() override;
    void TransferTick() override;
    void TransferFinished(std::uint32_t kind);
    void StartWrite(std::span<const std::uint8_t> image, const ConfigCheckValues& checkValues);
    void StartRead();
    void ReadEnded(bool repaired);
    /// The exchange just begun is the one the outcomes speak of from now on.
    void Begin(Exchange exchange);
    /// The current exchange, if any, stops being current.
    std::optional<Exchange> End();
    ExchangeCounters Counters() const;
    ConfigBlock BlockOf(const ConfigImage& image, bool calvera) const;
    void BoxShown(const std::string& caption, const std::string& text);
    void FrameWritten();
    void StopExchanges();
    template <typename Call>
    void Tell(Call call);

    LinkHost& host;
    ConfigHost& editor;
    std::function<void()> closeSoon;
    SessionRelay relay;
    std::vector<SessionEvents*> receivers;
    bool startsOnIdentity = true;
    bool repairOnRead = true;
    std::optional<Exchange> current;
    bool currentStarted = false;
    bool inReadReply = false;
    bool readBackPending = false;
    CloseCause closeAsked = CloseCause::Asked;
    TransferProgress progress;
    ReceiveDispatcher dispatcher;
    TransferEngine engine;
    FirmwareCommands firmware;
    ConfigWrite write;
    ConfigRead read;
};

}  // namespace vyx
