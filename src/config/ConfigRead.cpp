#include "ConfigRead.h"

#include <algorithm>
#include <utility>

#include "ConfigDecoder.h"
#include "EditorPresets.h"
#include "Frame.h"

namespace vyx {

namespace {

constexpr const char* ReadingText = "Buscando configuração interna...";
constexpr const char* ReadDoneText = "Leitura da configuração interna concluída!";
constexpr const char* InvalidText = "Configuração inválida!";
constexpr const char* PreparingCalveraText = "Preparando configuração Calvera...";
constexpr const char* PreparingDefaultsText = "Preparando configuração padrão...";
constexpr const char* ReadFailedText = "A operação não pode ser concluida!";
constexpr const char* NoConnectionCaption = "ERRO #0x03";
constexpr const char* ReadFailedCaption = "ERRO #0x04";

constexpr std::size_t ReplyHeaderSize = 6;  // address (4) and byte count (2)

}  // namespace

ConfigRead::ConfigRead(LinkHost& host, PortIo& port, ConfigHost& editor, TransferProgress& progress,
                       ConfigWrite& write, std::function<std::uint32_t()> configBase)
    : host(host),
      port(port),
      editor(editor),
      progress(progress),
      write(write),
      configBase(std::move(configBase)),
      schedule(host, port, progress,
               StopAndWaitSettings{TimerId::Timer3, [this] { RequestPackage(); },
                                   NoConnectionCaption, ReadFailedCaption, MsgIcon::Warning,
                                   [] { return std::string(ReadFailedText); }}) {}

void ConfigRead::B_GetConfigClick() {
    progress.LastStarted = TransferProgress::Exchange::Read;
    schedule.Reset(ConfigReadCount);
    editor.ClearListSelections();
    host.AppendLog(LogPane::Log, ReadingText);
    schedule.Tick();
}

void ConfigRead::Timer3Timer() {
    schedule.Tick();
}

void ConfigRead::RequestPackage() {
    if (!port.PortOpen()) {
        return;
    }
    const std::uint32_t index =
        std::clamp<std::uint32_t>(progress.TxPackageIndex, 1, ConfigReadCount);
    const std::uint32_t offset = (index - 1) * ConfigReadChunk;
    const std::uint32_t size = std::min<std::uint32_t>(ConfigReadChunk, ConfigImageSize - offset);
    std::vector<std::uint8_t> payload;
    payload.reserve(ReplyHeaderSize);
    AppendBE32(payload, configBase() + offset);
    AppendBE16(payload, size);
    port.WritePort(EncodeFrame(MessageCode::MemoryRead, payload));
    host.ProcessMessages();
}

void ConfigRead::HandleReply(std::span<const std::uint8_t> payload) {
    // Before any read, or once a transfer has been started since, a reply would
    // only disturb the progress fields that the transfer now owns.
    if (progress.LastStarted != TransferProgress::Exchange::Read ||
        payload.size() < ReplyHeaderSize) {
        return;
    }
    const std::uint32_t address = ReadBE32(payload.data());
    // Never trust the byte count beyond what the frame carries.
    const std::size_t carried =
        std::min<std::size_t>(ReadBE16(payload.data() + 4), payload.size() - ReplyHeaderSize);
    // Offsets just below the block come out negative, so a reply that starts
    // before it but reaches into it stores its inside part.
    const std::int64_t start = static_cast<std::int32_t>(address - configBase());
    const std::int64_t end = start + static_cast<std::int64_t>(carried);
    const std::int64_t from = std::max<std::int64_t>(start, 0);
    const std::int64_t to = std::min<std::int64_t>(end, ConfigImageSize);
    const bool startsInside = start >= 0 && start < static_cast<std::int64_t>(ConfigImageSize);
    if (!startsInside && from >= to) {
        return;
    }
    if (from < to) {
        const auto data = payload.begin() + static_cast<std::ptrdiff_t>(ReplyHeaderSize) +
                          static_cast<std::ptrdiff_t>(from - start);
        std::copy(data, data + (to - from), received.begin() + from);
    }

    const auto reply = static_cast<std::uint32_t>(from) / ConfigReadChunk + 1;
    progress.TxAckedIndex = static_cast<std::int32_t>(reply);
    if (reply < progress.TxPackageCount) {
        host.SetProgress(static_cast<int>(reply + 1));
        progress.TxAckReceived = true;
        schedule.TickIfRunning();
    } else {
        Complete();
    }
}

void ConfigRead::Complete() {
    host.SetTimerEnabled(TimerId::Timer3, false);
    host.ProcessMessages();
    host.SetProgress(0);

    const bool calvera = editor.CalveraChecked();
    const DecodedConfig decoded = DecodeConfigImage(received, calvera);
    if (decoded.FieldsDecoded) {
        EditorSnapshot shown = editor.ReadEditor();
        MergeDecoded(shown, decoded);
        editor.ApplyEditor(shown);
    }
    if (decoded.Accepted() || !repair) {
        host.AppendLog(LogPane::Log, ReadDoneText);
        editor.SetWriteEnabled(true);
        return;
    }

    // A rejected block is replaced at once by a known-good one.
    host.SetLogColour(LogPane::Log, LogRed);
    host.AppendLog(LogPane::Log, InvalidText);
    if (calvera) {
        host.AppendLog(LogPane::Log, PreparingCalveraText);
        editor.ApplyEditor(CalveraSnapshot());
    } else {
        host.AppendLog(LogPane::Log, PreparingDefaultsText);
        editor.ApplyEditor(DefaultsSnapshot());
    }
    write.B_SetConfigClick();
}

}  // namespace vyx
