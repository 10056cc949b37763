#pragma once
// The package transfer: sends one byte image to the device as numbered packages
// of 48 bytes plus a trailer package, one at a time, each waiting for the
// device's acknowledgement, on the shared stop-and-wait schedule (Timer1).
// Used for the firmware image (kind 1) and the configuration block (kind 6).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include <functional>

#include "LinkHost.h"
#include "PortIo.h"
#include "StopAndWait.h"
#include "TransferIdSource.h"
#include "TransferProgress.h"

namespace vyx {

using TransferTrailer = std::array<std::uint8_t, 5>;

/// Transfer kinds; each is also the message code of the transfer's packages.
inline constexpr std::uint32_t FirmwareTransfer = 1;
inline constexpr std::uint32_t ConfigTransfer = 6;

/// Image bytes carried by every package but the last two.
inline constexpr std::size_t PackageDataSize = 48;
/// Index and count travel in 16 bits.
inline constexpr std::uint32_t MaxPackageCount = 0xFFFF;
/// Largest frame a package makes: 8 frame bytes, 6 package header bytes, 48 data.
inline constexpr std::size_t MaxPackageFrame = 62;

/// Told when the device acknowledged a transfer's last package, with the kind.
using TransferDone = std::function<void(std::uint32_t kind)>;

class TransferEngine {
public:
    TransferEngine(LinkHost& host, PortIo& port, TransferProgress& progress, TransferDone done,
                   TransferIdSource ids = TransferIdSource());
    TransferEngine(const TransferEngine&) = delete;
    TransferEngine& operator=(const TransferEngine&) = delete;

    /// Sets TxKind, TxData, TxLength and TxTrailer. The data is not copied: the
    /// caller keeps it alive and unchanged until the transfer ends.
    void SetParameters(std::uint32_t kind, std::span<const std::uint8_t> data,
                       const TransferTrailer& trailer);

    /// Starts a transfer of the parameters set: resets the progress, draws a new
    /// transfer identifier and sends package 1. Returns false (and starts nothing)
    /// for an image too long for 16-bit package numbers.
    bool TxInit();

    /// One tick of Timer1.
    void Timer1Timer();
    /// A tick at once if Timer1 runs (a notification too short for a frame).
    void TickIfRunning() { schedule.TickIfRunning(); }

    /// An Ack frame's payload: moves on, resends, or completes the transfer.
    /// Ignored unless a package transfer is the exchange started last.
    void Acknowledge(std::span<const std::uint8_t> payload);
    /// A Nack frame: counted, and taken as one idle tick.
    void NegativeAcknowledge();

    std::uint32_t TxKind() const { return kind; }
    std::uint32_t TxLength() const { return static_cast<std::uint32_t>(data.size()); }
    const TransferTrailer& TxTrailer() const { return trailer; }
    std::uint32_t TxId() const { return id; }
    const TransferIdSource& Ids() const { return ids; }

private:
    void SendPackage();
    void Complete();
    std::string FailText() const;

    LinkHost& host;
    PortIo& port;
    TransferProgress& progress;
    TransferDone done;
    TransferIdSource ids;
    std::uint32_t kind = 0;
    std::span<const std::uint8_t> data;
    TransferTrailer trailer{};
    std::uint32_t id = 0;
    StopAndWait schedule;
};

}  // namespace vyx
