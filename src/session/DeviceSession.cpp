#include "DeviceSession.h"

#include <utility>

#include "RemoteCommands.h"

namespace vyx {

DeviceSession::DeviceSession(LinkHost& host, PortIo& port, ConfigHost& editor,
                             std::function<void()> closeSoon, TransferIdSource ids)
    : host(host),
      editor(editor),
      closeSoon(std::move(closeSoon)),
      dispatcher(host, port, progress, *this),
      engine(
          host, port, progress, [this](std::uint32_t kind) { TransferFinished(kind); },
          std::move(ids)),
      firmware(host, port, engine, dispatcher.Identification()),
      write(host, editor,
            [this](std::span<const std::uint8_t> image, const ConfigCheckValues& checkValues) {
                engine.SetParameters(ConfigTransfer, image, checkValues);
                engine.TxInit();
            }),
      read(host, port, editor, progress, write,
           [this] { return dispatcher.Identification().Stored().ConfigBase; }) {}

bool DeviceSession::UploadFirmware(std::span<const std::uint8_t> image,
                                   const TransferTrailer& trailer) {
    return firmware.Upload(image, trailer);
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

void DeviceSession::PortLost() {
    ++progress.LinkLosses;
    host.SetTimerEnabled(TimerId::Timer1, false);
    host.SetTimerEnabled(TimerId::Timer3, false);
    host.SetProgress(0);
}

void DeviceSession::TransferFinished(std::uint32_t kind) {
    if (kind == FirmwareTransfer) {
        // The device restarts with the new firmware and announces itself again.
        dispatcher.Identification().ResetIdentityHandled();
        return;
    }
    editor.SetWriteEnabled(true);
    // Closing after a write is meant for the devices of the current release only.
    if (editor.AutoCloseChecked() &&
        IsListedRelease(dispatcher.Identification().Stored().Version) && closeSoon) {
        closeSoon();
    }
}

void DeviceSession::Acknowledge(std::span<const std::uint8_t> payload) {
    engine.Acknowledge(payload);
}

void DeviceSession::NegativeAcknowledge() {
    engine.NegativeAcknowledge();
}

void DeviceSession::MemoryReadReply(std::span<const std::uint8_t> payload) {
    read.HandleReply(payload);
}

void DeviceSession::StartFirmwareUpload() {
    firmware.B_FwTxClick();
}

void DeviceSession::StartConfigRead() {
    read.B_GetConfigClick();
}

void DeviceSession::TransferTick() {
    engine.TickIfRunning();
}

}  // namespace vyx
