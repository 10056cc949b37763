#include "TransferEngine.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "Frame.h"

namespace vyx {

namespace {

constexpr const char* NoConnectionCaption = "ERRO #0x01";
constexpr const char* FailCaption = "ERRO #0x02";
constexpr const char* FailFormat =
    "A operação não foi concluida!\r\nNacks = %d\r\nCode10 = %d\r\nCode15 = %d\r\nCode20 = %d";
constexpr const char* StartingText = "Iniciando atualização...";
constexpr const char* UpdatingFirmwareText = "Atualizando firmware...";
constexpr const char* UpdatingConfigText = "Atualizando configuração...";
constexpr const char* SuccessText = "Atualização concluída com sucesso!";

constexpr std::uint32_t TransferIdLimit = 0xFFFF;
constexpr std::size_t PackageHeaderSize = 6;  // transfer id, index, count

// The data packages (the last one may be short) plus the trailer package.
std::size_t PackageCount(std::size_t length) {
    return (length + PackageDataSize - 1) / PackageDataSize + 1;
}

}  // namespace

TransferEngine::TransferEngine(LinkHost& host, PortIo& port, TransferProgress& progress,
                               TransferDone done, TransferIdSource ids)
    : host(host),
      port(port),
      progress(progress),
      done(std::move(done)),
      ids(std::move(ids)),
      schedule(host, port, progress,
               StopAndWaitSettings{TimerId::Timer1, [this] { SendPackage(); }, NoConnectionCaption,
                                   FailCaption, MsgIcon::None, [this] { return FailText(); }}) {}

void TransferEngine::SetParameters(std::uint32_t newKind, std::span<const std::uint8_t> newData,
                                   const TransferTrailer& newTrailer) {
    kind = newKind;
    data = newData;
    trailer = newTrailer;
}

bool TransferEngine::TxInit() {
    const std::size_t count = PackageCount(data.size());
    if (count > MaxPackageCount) {
        return false;
    }
    progress.LastStarted = TransferProgress::Exchange::Transfer;
    schedule.Reset(static_cast<std::uint32_t>(count));
    id = ids.MakeTransferId(TransferIdLimit);
    if (port.PortOpen()) {
        host.AppendLog(LogPane::Log, StartingText);
    }
    schedule.Tick();
    return true;
}

void TransferEngine::Timer1Timer() {
    schedule.Tick();
}

void TransferEngine::SendPackage() {
    const std::uint32_t index = progress.TxPackageIndex;
    const std::uint32_t count = progress.TxPackageCount;

    std::span<const std::uint8_t> part;
    if (index == count) {
        part = trailer;
    } else if (index >= 1) {
        const std::size_t offset = std::size_t{index - 1} * PackageDataSize;
        if (offset < data.size()) {
            part = data.subspan(offset, std::min(PackageDataSize, data.size() - offset));
        }
    }

    // Built in place: a package frame never exceeds 62 bytes.
    std::array<std::uint8_t, MaxPackageFrame> frame{};
    const std::size_t payloadSize = PackageHeaderSize + part.size();
    std::size_t at = 0;
    auto put16 = [&](std::uint32_t v) {
        frame[at++] = static_cast<std::uint8_t>(v >> 8);
        frame[at++] = static_cast<std::uint8_t>(v);
    };
    frame[at++] = FrameStart;
    frame[at++] = ToolToDevice;
    frame[at++] = static_cast<std::uint8_t>(kind);
    put16(static_cast<std::uint32_t>(payloadSize));
    put16(id);
    put16(index);
    put16(count);
    std::copy(part.begin(), part.end(), frame.begin() + static_cast<std::ptrdiff_t>(at));
    at += part.size();
    const std::uint32_t sum = FrameChecksum(frame.data(), at);
    frame[at++] = static_cast<std::uint8_t>(sum >> 16);
    frame[at++] = static_cast<std::uint8_t>(sum >> 8);
    frame[at++] = static_cast<std::uint8_t>(sum);

    port.WritePort(std::span<const std::uint8_t>(frame.data(), at));
    host.SetProgress(static_cast<int>(index));
    host.ProcessMessages();
}

void TransferEngine::Acknowledge(std::span<const std::uint8_t> payload) {
    // Without a package transfer under way (none yet, or a configuration read
    // started since), an acknowledgement belongs to nothing we sent.
    if (progress.LastStarted != TransferProgress::Exchange::Transfer) {
        return;
    }
    if (payload.size() < 2) {
        return;
    }
    progress.TxAckedIndex = ReadBE16(payload.data());
    if (static_cast<std::uint32_t>(progress.TxAckedIndex) >= progress.TxPackageCount) {
        Complete();
        return;
    }
    if (progress.TxAckedIndex == 1) {
        if (kind == FirmwareTransfer) {
            host.AppendLog(LogPane::Log, UpdatingFirmwareText);
        } else if (kind == ConfigTransfer) {
            host.AppendLog(LogPane::Log, UpdatingConfigText);
        }
    }
    progress.TxAckReceived = true;
    schedule.TickIfRunning();
}

void TransferEngine::NegativeAcknowledge() {
    ++progress.Nacks;
    schedule.TickIfRunning();
}

void TransferEngine::Complete() {
    host.SetTimerEnabled(TimerId::Timer1, false);
    host.SetProgress(0);
    host.ProcessMessages();
    host.AppendLog(LogPane::Log, SuccessText);
    if (kind == FirmwareTransfer) {
        host.AppendLog(LogPane::Log, "");
    }
    if (done) {
        done(kind);
    }
}

std::string TransferEngine::FailText() const {
    char text[160];
    std::snprintf(text, sizeof text, FailFormat, progress.Nacks, progress.Code10, progress.Code15,
                  progress.Code20);
    return text;
}

}  // namespace vyx
