#include "ReceiveDispatcher.h"

#include <vector>

#include "Frame.h"

namespace vyx {

namespace {
constexpr const char* WrongReceiverText = "Destino inválido!";
}

ReceiveDispatcher::ReceiveDispatcher(LinkHost& host, PortIo& port, TransferProgress& progress,
                                     ReceiveTarget& target)
    : host(host), port(port), progress(progress), target(target), identification(host, target) {}

void ReceiveDispatcher::VCPRxChar(int count) {
    host.ProcessMessages();
    // The bytes went with the port: reading a closed port would only fail.
    if (!port.PortOpen()) {
        return;
    }
    std::vector<std::uint8_t> buffer(count > 0 ? static_cast<std::size_t>(count) : 0);
    // Judge only what the port actually handed over, which may be less than announced.
    const int read = buffer.empty() ? 0 : port.ReadPort(buffer.data(), count);
    HandleNotification(buffer.data(), read > 0 ? static_cast<std::size_t>(read) : 0);
}

void ReceiveDispatcher::HandleNotification(const std::uint8_t* bytes, std::size_t count) {
    const FrameCheck frame = CheckFrame(bytes, count);
    switch (frame.Verdict) {
        case FrameVerdict::TooShort:
            ++progress.Code10;
            target.TransferTick();
            return;
        case FrameVerdict::BadStart:
            ++progress.Code15;
            return;
        case FrameVerdict::Oversized:
        case FrameVerdict::Incomplete:
        case FrameVerdict::BadChecksum:
            return;
        case FrameVerdict::WrongReceiver:
            host.AppendLog(LogPane::Log, WrongReceiverText);
            return;
        case FrameVerdict::Frame:
            break;
    }
    if (!Dispatch(frame)) {
        return;
    }
    if (frame.Surplus > 0) {
        ++progress.Code20;
    }
    host.ProcessMessages();
}

bool ReceiveDispatcher::Dispatch(const FrameCheck& frame) {
    switch (static_cast<MessageCode>(frame.Code)) {
        case MessageCode::Ack:
            target.Acknowledge(frame.Payload);
            return true;
        case MessageCode::Nack:
            target.NegativeAcknowledge();
            return true;
        case MessageCode::Identity:
            return identification.HandleIdentity(frame.Payload);
        case MessageCode::MemoryRead:
            if (frame.Payload.size() < MinMemoryReadPayload) {
                return false;
            }
            target.MemoryReadReply(frame.Payload);
            return true;
        case MessageCode::OperatingMode:
            identification.OperatingModeNotice();
            return true;
        default:
            return true;
    }
}

}  // namespace vyx
