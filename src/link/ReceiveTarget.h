#pragma once
// Where the receive dispatcher and identification hand on what they do not
// handle themselves: the package transfer, the firmware upload and the
// configuration read. The object that owns all of them implements it.

#include <cstdint>
#include <span>

#include "DeviceIdentity.h"

namespace vyx {

class ReceiveTarget {
public:
    virtual ~ReceiveTarget() = default;

    /// An Ack frame's payload (the acknowledged package index, 16 bits BE).
    virtual void Acknowledge(std::span<const std::uint8_t> payload) = 0;
    /// A Nack frame: counted, and one transfer tick if the transfer timer runs.
    virtual void NegativeAcknowledge() = 0;
    /// A MemoryRead reply's payload (at least 7 bytes).
    virtual void MemoryReadReply(std::span<const std::uint8_t> payload) = 0;
    /// An Identity frame was acted on (also one in operating mode), before
    /// anything it leads to is started.
    virtual void DeviceIdentified(const DeviceIdentity& identity) = 0;
    /// The operating-mode notice was logged and the timed close is due.
    virtual void OperatingModeNoticeGiven() = 0;
    /// Starts the firmware upload.
    virtual void StartFirmwareUpload() = 0;
    /// Starts the configuration read.
    virtual void StartConfigRead() = 0;
    /// One transfer tick if the transfer timer runs (a notification too short
    /// for a frame counts as one).
    virtual void TransferTick() = 0;
};

}  // namespace vyx
