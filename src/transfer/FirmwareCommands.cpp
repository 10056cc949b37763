#include "FirmwareCommands.h"

#include "FirmwareImage.h"
#include "Frame.h"

namespace vyx {

FirmwareCommands::FirmwareCommands(LinkHost& host, PortIo& port, TransferEngine& engine,
                                   const DeviceIdentification& identification)
    : host(host), port(port), engine(engine), identification(identification) {}

bool FirmwareCommands::B_FwTxClick() {
    return Upload(FirmwareImage, FirmwareTrailer);
}

bool FirmwareCommands::Upload(std::span<const std::uint8_t> image, const TransferTrailer& trailer) {
    // Our images fit only these product lines; anything else would get whatever
    // the previous transfer left behind.
    if (!identification.HasIdentity() || !IsServedProductLine(identification.Stored().Version[0])) {
        return false;
    }
    engine.SetParameters(FirmwareTransfer, image, trailer);
    return engine.TxInit();
}

void FirmwareCommands::B_FwJumpClick() {
    const auto frame = EncodeFrame(MessageCode::Jump, {});
    if (port.PortOpen()) {
        port.WritePort(frame);
    }
    host.ProcessMessages();
}

}  // namespace vyx
