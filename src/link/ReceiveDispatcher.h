#pragma once
// The receive handler (VCPRxChar): reads what one notification delivered, checks
// it as one frame and dispatches it by message code. Acknowledgements, memory
// read replies and the starts of uploads and reads go out through ReceiveTarget;
// identity and operating-mode frames go to the identification it owns.

#include <cstddef>
#include <cstdint>

#include "DeviceIdentification.h"
#include "FrameCheck.h"
#include "LinkHost.h"
#include "PortIo.h"
#include "ReceiveTarget.h"
#include "TransferProgress.h"

namespace vyx {

/// Payload bytes a memory read reply needs before it is handed on
/// (address and byte count, plus at least one data byte).
inline constexpr std::size_t MinMemoryReadPayload = 7;

class ReceiveDispatcher {
public:
    ReceiveDispatcher(LinkHost& host, PortIo& port, TransferProgress& progress,
                      ReceiveTarget& target);

    /// The port's received-characters notification: `count` bytes are waiting.
    /// Events are let through first; when they closed the port (a disconnect
    /// click, the timed close) the notification is dropped without a read.
    void VCPRxChar(int count);

    /// The part of VCPRxChar after the read: checks and dispatches the bytes of
    /// one notification (the fault counters go to the shared progress fields).
    void HandleNotification(const std::uint8_t* bytes, std::size_t count);

    DeviceIdentification& Identification() { return identification; }
    const DeviceIdentification& Identification() const { return identification; }

private:
    /// Returns false when the dispatch ended early (no surplus count, no pump).
    bool Dispatch(const FrameCheck& frame);

    LinkHost& host;
    PortIo& port;
    TransferProgress& progress;
    ReceiveTarget& target;
    DeviceIdentification identification;
};

}  // namespace vyx
