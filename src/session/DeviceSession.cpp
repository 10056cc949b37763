#include "DeviceSession.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "ReadBack.h"
#include "RemoteCommands.h"

namespace vyx {

namespace {

// The exchanges' failure boxes are numbered in their captions: "ERRO #0x02".
constexpr std::string_view FailureCaptionPrefix = "ERRO #0x";

int FailureCode(const std::string& caption) {
    if (caption.size() <= FailureCaptionPrefix.size() ||
        caption.compare(0, FailureCaptionPrefix.size(), FailureCaptionPrefix) != 0) {
        return 0;
    }
    try {
        return std::stoi(caption.substr(FailureCaptionPrefix.size()), nullptr, 16);
    } catch (...) {
        return 0;
    }
}

}  // namespace

DeviceSession::DeviceSession(LinkHost& host, PortIo& port, ConfigHost& editor,
                             std::function<void()> closeSoon, TransferIdSource ids)
    : host(host),
      editor(editor),
      closeSoon(std::move(closeSoon)),
      relay(host, port, editor),
      dispatcher(relay, relay, progress, *this),
      engine(
          relay, relay, progress, [this](std::uint32_t kind) { TransferFinished(kind); },
          std::move(ids)),
      firmware(relay, relay, engine, dispatcher.Identification()),
      write(relay, relay,
            [this](std::span<const std::uint8_t> image, const ConfigCheckValues& checkValues) {
                StartWrite(image, checkValues);
            }),
      read(relay, relay, relay, progress, write,
           [this] { return dispatcher.Identification().Stored().ConfigBase; }) {
    relay.OnMessage = [this](const std::string& caption, const std::string& text) {
        BoxShown(caption, text);
    };
    relay.OnWriteAllowed = [this] { ReadEnded(false); };
    relay.OnWrite = [this] { FrameWritten(); };
}

void DeviceSession::RemoveEvents(SessionEvents& events) {
    std::erase(receivers, &events);
}

template <typename Call>
void DeviceSession::Tell(Call call) {
    // A receiver may remove itself while it is told.
    const std::vector<SessionEvents*> now = receivers;
    for (SessionEvents* events : now) {
        call(*events);
    }
}

bool DeviceSession::B_FwTxClick() {
    Begin(Exchange::FirmwareUpload);
    const bool started = firmware.B_FwTxClick();
    if (!started) {
        End();
    }
    return started;
}

bool DeviceSession::UploadFirmware(std::span<const std::uint8_t> image,
                                   const TransferTrailer& trailer) {
    Begin(Exchange::FirmwareUpload);
    const bool started = firmware.Upload(image, trailer);
    if (!started) {
        End();
    }
    return started;
}

void DeviceSession::B_GetConfigClick() {
    readBackPending = false;
    read.SetRepair(repairOnRead);
    StartRead();
}

void DeviceSession::ReadBackWrite() {
    readBackPending = true;
    read.SetRepair(false);
    StartRead();
}

void DeviceSession::StartRead() {
    Begin(Exchange::ConfigRead);
    read.B_GetConfigClick();
}

bool DeviceSession::B_SetConfigClick() {
    // A click run from an event pump inside a read reply is not the read's repair.
    const bool wasInReply = std::exchange(inReadReply, false);
    const bool started = write.B_SetConfigClick();
    inReadReply = wasInReply;
    return started;
}

void DeviceSession::SetRepairOnRead(bool repair) {
    repairOnRead = repair;
    read.SetRepair(repair);
}

void DeviceSession::StartWrite(std::span<const std::uint8_t> image,
                               const ConfigCheckValues& checkValues) {
    if (inReadReply) {
        ReadEnded(true);  // the rejected block's repair
    }
    Begin(Exchange::ConfigWrite);
    engine.SetParameters(ConfigTransfer, image, checkValues);
    if (!engine.TxInit()) {
        End();
    }
}

void DeviceSession::B_RemConfigClick() {
    const RemoteCommandList list = MakeRemoteCommandList(editor.ReadEditor());
    host.ClearLog(LogPane::Log);
    for (const std::string& line : list.Lines) {
        host.AppendLog(LogPane::Log, line);
    }
    for (EditorField field : list.FieldsToEmpty) {
        editor.EmptyField(field);
    }
}

void DeviceSession::PortOpened() {
    dispatcher.Identification().ResetIdentityHandled();
    closeAsked = CloseCause::Asked;
}

void DeviceSession::StopExchanges() {
    host.SetTimerEnabled(TimerId::Timer1, false);
    host.SetTimerEnabled(TimerId::Timer3, false);
    host.SetProgress(0);
    // A late acknowledgement or reply (on this connection or the next) belongs
    // to nothing under way any more.
    progress.LastStarted = TransferProgress::Exchange::None;
    readBackPending = false;
    read.SetRepair(repairOnRead);
    if (const auto cut = End()) {
        const ExchangeCut outcome{*cut, Counters()};
        Tell([&](SessionEvents& events) { events.ExchangeCutOff(outcome); });
    }
}

void DeviceSession::PortClosed(bool timed) {
    StopExchanges();
    const CloseCause cause = timed ? closeAsked : CloseCause::Asked;
    closeAsked = CloseCause::Asked;
    Tell([&](SessionEvents& events) { events.ConnectionClosed(cause); });
}

void DeviceSession::PortLost() {
    ++progress.LinkLosses;
    StopExchanges();
    closeAsked = CloseCause::Asked;
    Tell([](SessionEvents& events) { events.ConnectionLost(); });
}

void DeviceSession::Begin(Exchange exchange) {
    if (const auto superseded = End()) {
        const ExchangeCut outcome{*superseded, Counters()};
        Tell([&](SessionEvents& events) { events.ExchangeCutOff(outcome); });
    }
    current = exchange;
    currentStarted = false;
    relay.ResetWrites();
}

std::optional<Exchange> DeviceSession::End() {
    return std::exchange(current, std::nullopt);
}

ExchangeCounters DeviceSession::Counters() const {
    ExchangeCounters counters;
    counters.Count = progress.TxPackageCount;
    counters.At = progress.TxPackageIndex;
    // Every index goes out once on its first sending; anything more was sent again.
    counters.Resends = relay.Writes() > counters.At ? relay.Writes() - counters.At : 0;
    counters.Nacks = progress.Nacks;
    counters.ShortNotifications = progress.Code10;
    counters.BadStarts = progress.Code15;
    counters.StrayBytes = progress.Code20;
    return counters;
}

ConfigBlock DeviceSession::BlockOf(const ConfigImage& image, bool calvera) const {
    return ConfigBlock{image, DecodeConfigImage(image, calvera)};
}

void DeviceSession::FrameWritten() {
    if (current && !currentStarted) {
        currentStarted = true;
        const Exchange exchange = *current;
        const ExchangeCounters counters = Counters();
        Tell([&](SessionEvents& events) { events.ExchangeStarted(exchange, counters); });
    }
}

void DeviceSession::BoxShown(const std::string& caption, const std::string& text) {
    const int code = FailureCode(caption);
    if (code == 0 || !current) {
        return;
    }
    const ExchangeFailure failure{*End(), code, caption, text, Counters()};
    Tell([&](SessionEvents& events) { events.ExchangeFailed(failure); });
}

void DeviceSession::ReadEnded(bool repaired) {
    if (current == Exchange::ConfigRead) {
        End();
    }
    const ConfigImage& received = read.Received();
    if (readBackPending) {
        readBackPending = false;
        read.SetRepair(repairOnRead);
        ReadBackResult outcome;
        outcome.Written = BlockOf(write.Image(), false);
        outcome.Read = BlockOf(received, false);
        outcome.Equal = received == write.Image();
        outcome.FirstDifference = outcome.Equal ? "" : FirstDifference(write.Image(), received);
        Tell([&](SessionEvents& events) { events.ReadBack(outcome); });
        return;
    }
    const ConfigReadResult outcome{BlockOf(received, editor.CalveraChecked()), repaired};
    Tell([&](SessionEvents& events) { events.ConfigurationRead(outcome); });
}

void DeviceSession::TransferFinished(std::uint32_t kind) {
    if (current == Exchange::FirmwareUpload || current == Exchange::ConfigWrite) {
        End();
    }
    const ExchangeCounters counters = Counters();
    if (kind == FirmwareTransfer) {
        // The device restarts with the new firmware and announces itself again.
        dispatcher.Identification().ResetIdentityHandled();
        Tell([&](SessionEvents& events) { events.UploadFinished(counters); });
        return;
    }
    const ConfigBlock written = BlockOf(write.Image(), false);
    Tell([&](SessionEvents& events) { events.ConfigurationWritten(written, counters); });
    editor.SetWriteEnabled(true);
    // Closing after a write is meant for the devices of the current release only.
    if (editor.AutoCloseChecked() &&
        IsListedRelease(dispatcher.Identification().Stored().Version) && closeSoon) {
        closeAsked = CloseCause::AfterWrite;
        closeSoon();
    }
}

void DeviceSession::DeviceIdentified(const DeviceIdentity& identity) {
    const IdentifiedDevice outcome{identity, NeedOf(identity.Version)};
    Tell([&](SessionEvents& events) { events.Identified(outcome); });
}

void DeviceSession::OperatingModeNoticeGiven() {
    closeAsked = CloseCause::OperatingMode;
    Tell([](SessionEvents& events) { events.OperatingModeNotice(); });
}

void DeviceSession::Acknowledge(std::span<const std::uint8_t> payload) {
    engine.Acknowledge(payload);
}

void DeviceSession::NegativeAcknowledge() {
    engine.NegativeAcknowledge();
}

void DeviceSession::MemoryReadReply(std::span<const std::uint8_t> payload) {
    const bool wasInReply = std::exchange(inReadReply, true);
    read.HandleReply(payload);
    inReadReply = wasInReply;
}

void DeviceSession::StartFirmwareUpload() {
    if (startsOnIdentity) {
        B_FwTxClick();
    }
}

void DeviceSession::StartConfigRead() {
    if (startsOnIdentity) {
        B_GetConfigClick();
    }
}

void DeviceSession::TransferTick() {
    engine.TickIfRunning();
}

}  // namespace vyx
