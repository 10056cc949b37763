#pragma once
// Identification of a freshly connected device: the stored identity, the
// operating-mode notice, the version line, the ID list of devices found at the
// current release, and the decision between upload, read and nothing.

#include <cstdint>
#include <span>

#include "DeviceIdentity.h"
#include "LinkHost.h"
#include "ReceiveTarget.h"

namespace vyx {

class DeviceIdentification {
public:
    DeviceIdentification(LinkHost& host, ReceiveTarget& target);

    /// An Identity frame's payload. Returns false when the handling ended early
    /// (payload too short, or the operating-mode notice was given).
    bool HandleIdentity(std::span<const std::uint8_t> payload);

    /// The five-line notice for a device still in operating mode, then the
    /// one-shot close (Timer2), unless that close is already due.
    void OperatingModeNotice();

    /// "Limpar": empties the ID list and its count and forgets the last listed ID.
    void ClearIdList();

    /// The port was opened, or a firmware upload finished: the next ready-for-
    /// service identity is acted on again.
    void ResetIdentityHandled() { IdentityHandled = false; }

    /// The latest identity that was not ignored (zero before the first).
    const DeviceIdentity& Stored() const { return stored; }
    /// True once any identity has been stored in this run.
    bool HasIdentity() const { return hasIdentity; }
    bool IsIdentityHandled() const { return IdentityHandled; }
    const DeviceId& LastListed() const { return LastListedId; }
    std::uint32_t ListedCount() const { return ListedIdCount; }

private:
    void LogVersion();
    void ListId();

    LinkHost& host;
    ReceiveTarget& target;
    DeviceIdentity stored;
    bool hasIdentity = false;
    bool IdentityHandled = false;
    DeviceId LastListedId{};
    std::uint32_t ListedIdCount = 0;
};

}  // namespace vyx
