#pragma once
// The configuration read: five memory read requests for the 2,032-byte block,
// one at a time on Timer3's stop-and-wait schedule; then the block is checked
// and decoded into the editor, or repaired at once when it is rejected.

#include <cstdint>
#include <functional>
#include <span>

#include "ConfigHost.h"
#include "ConfigImage.h"
#include "ConfigWrite.h"
#include "LinkHost.h"
#include "PortIo.h"
#include "StopAndWait.h"
#include "TransferProgress.h"

namespace vyx {

/// Bytes asked for per memory read request.
inline constexpr std::uint32_t ConfigReadChunk = 500;
/// Requests per read: four of 500 bytes and one of the remaining 32.
inline constexpr std::uint32_t ConfigReadCount =
    ConfigImageSize / ConfigReadChunk + (ConfigImageSize % ConfigReadChunk != 0 ? 1 : 0);

class ConfigRead {
public:
    /// `configBase` gives the device address of the block (from the latest identity).
    ConfigRead(LinkHost& host, PortIo& port, ConfigHost& editor, TransferProgress& progress,
               ConfigWrite& write, std::function<std::uint32_t()> configBase);

    /// B_GetConfigClick: starts (or starts over) a read with request 1.
    void B_GetConfigClick();

    /// Timer3Timer: one tick of the read's schedule.
    void Timer3Timer();

    /// The payload of a received MemoryRead frame. Ignored unless a read is the
    /// latest exchange started; bytes that fall outside the block are not stored,
    /// and a reply with none inside it is dropped without counting.
    void HandleReply(std::span<const std::uint8_t> payload);

    /// Whether a rejected block is replaced at once by the defaults (or the
    /// preset), as after connecting. A read that checks a write just made
    /// reports the difference instead.
    void SetRepair(bool value) { repair = value; }

    /// The receive copy of the block, as the replies filled it.
    const ConfigImage& Received() const { return received; }

private:
    void RequestPackage();
    void Complete();

    LinkHost& host;
    PortIo& port;
    ConfigHost& editor;
    TransferProgress& progress;
    ConfigWrite& write;
    std::function<std::uint32_t()> configBase;
    StopAndWait schedule;
    ConfigImage received{};
    bool repair = true;
};

}  // namespace vyx
