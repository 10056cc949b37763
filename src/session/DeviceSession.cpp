#include "DeviceSession.h"

#include <utility>

#include "RemoteCommands.h"

namespace vyx {

DeviceSession::DeviceSession(LinkHost& host, ConfigHost& editor, TransferIdSource ids)
    : host(host),
      editor(editor),
      dispatcher(host, progress, *this),
      engine(host, progress, dispatcher.Identification(), std::move(ids)),
      firmware(host, engine, dispatcher.Identification()),
      write(host, editor,
            [this](std::span<const std::uint8_t> image, const ConfigCheckValues& checkValues) {
                engine.SetParameters(ConfigTransfer, image, checkValues);
                engine.TxInit();
            }),
      read(host, editor, progress, write,
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
