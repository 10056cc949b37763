#pragma once
// The progress fields shared by the package transfer and the configuration read.
// There is one set per window: starting either one resets what the other used.

#include <cstdint>

namespace vyx {

inline constexpr std::int32_t NothingAcknowledged = 0xFFFFFF;

struct TransferProgress {
    std::uint32_t TxPackageCount = 0;  // packages (or read requests) in the exchange
    std::uint32_t TxPackageIndex = 0;  // 1-based index of the one most recently sent
    std::int32_t TxAckedIndex = 0;     // index carried by the latest acknowledgement
    bool TxAckReceived = false;        // an acknowledgement arrived since the last send
    std::int32_t TxIdleTicks = 0;      // ticks since the last send on the normal path

    // Receive faults seen during the exchange, shown only in the failure message.
    std::int32_t Nacks = 0;   // negative acknowledgements
    std::int32_t Code10 = 0;  // notifications too short for a frame
    std::int32_t Code15 = 0;  // notifications not starting with the start byte
    std::int32_t Code20 = 0;  // frames followed by stray bytes

    // Which exchange was started last. An acknowledgement means nothing unless a
    // package transfer is the latest exchange.
    enum class Exchange { None, Transfer, Read };
    Exchange LastStarted = Exchange::None;

    // How often the port has hung up (cable pulled). The hang-up has already told
    // the user what happened, so an exchange that gives up meanwhile shows no box.
    std::uint32_t LinkLosses = 0;
};

}  // namespace vyx
