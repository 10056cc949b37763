#pragma once
// The firmware upload (B_FwTxClick) and the jump command (B_FwJumpClick).

#include "DeviceIdentification.h"
#include "LinkHost.h"
#include "PortIo.h"
#include "TransferEngine.h"

namespace vyx {

class FirmwareCommands {
public:
    FirmwareCommands(LinkHost& host, PortIo& port, TransferEngine& engine,
                     const DeviceIdentification& identification);

    /// Uploads the embedded image as transfer kind 1 to a device of a product
    /// line it is made for (3, 4, 41). For any other line, or before any device
    /// has identified itself, it starts nothing and returns false.
    bool B_FwTxClick();
    /// The same upload with another image and its trailer (kept alive by the
    /// caller until the transfer ends).
    bool Upload(std::span<const std::uint8_t> image, const TransferTrailer& trailer);

    /// Tells the device to jump into its firmware: writes the fixed jump frame
    /// while the port is open; nothing is awaited.
    void B_FwJumpClick();

private:
    LinkHost& host;
    PortIo& port;
    TransferEngine& engine;
    const DeviceIdentification& identification;
};

}  // namespace vyx
