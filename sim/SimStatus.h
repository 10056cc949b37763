#pragma once
// What an observer can learn about a running simulated device. Copied out under
// the device's lock, so every field of one copy belongs to the same moment.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "SimBlocks.h"

namespace vyx::sim {

inline constexpr std::size_t WrittenFramesKept = 64;

struct SimStatus {
    // The port.
    bool portOpen = false;    ///< the tool holds the port open now
    std::uint32_t opens = 0;  ///< times the tool opened the port
    bool hungUp = false;      ///< the device closed the line (hang-up fault)
    bool spokenTo =
        false;  ///< a valid frame came from the tool since the last announcement round began
    bool restarting = false;  ///< between a good firmware image and the next announcement

    // The device.
    std::array<std::uint32_t, 3> id{};      ///< as announced now
    std::array<std::uint8_t, 4> version{};  ///< as announced now
    ConfigBlock block{};                    ///< the stored configuration block

    // What came in.
    std::uint64_t framesReceived = 0;    ///< frames with a good checksum, any receiver
    std::uint64_t framesForOthers = 0;   ///< good frames not addressed to the device
    std::uint64_t framesIgnored = 0;     ///< good frames that came while restarting
    std::uint64_t bytesDiscarded = 0;    ///< bytes that did not form a good frame
    std::uint64_t requestsSeen = 0;      ///< packages and memory reads, dropped ones included
    std::uint64_t requestsDropped = 0;   ///< requests lost on purpose (drop fault)
    std::uint64_t memoryReads = 0;       ///< memory read requests handled
    std::uint64_t packagesReceived = 0;  ///< packages of either kind handled
    std::uint64_t resendsSeen = 0;  ///< packages whose index had already arrived in their transfer
    std::uint64_t jumps = 0;        ///< jump commands
    std::uint64_t configsStored = 0;  ///< configuration blocks verified and stored
    std::uint64_t firmwareAccepted =
        0;                             ///< firmware images verified (each one restarts the device)
    std::uint64_t imagesRejected = 0;  ///< finished transfers with a bad trailer, size or gap
    /// 64-bit FNV-1a of the latest firmware image accepted (0 before the first), so
    /// an observer can tell that exactly the intended image arrived.
    std::uint64_t firmwareDigest = 0;

    // What went out.
    std::uint64_t announcements = 0;  ///< identity (or operating-mode) frames sent
    std::uint64_t acksSent = 0;
    std::uint64_t nacksSent = 0;
    std::uint64_t repliesCorrupted = 0;     ///< replies sent with a wrong checksum on purpose
    std::uint64_t repliesMisaddressed = 0;  ///< replies sent to another receiver on purpose
    std::uint64_t strayRuns = 0;            ///< runs of stray bytes sent before a reply
    std::uint64_t restartsMidRead = 0;      ///< restarts on a memory read (restart fault)
    /// The latest frames written, whole, oldest first: at most WrittenFramesKept, so a
    /// long run neither grows nor copies an ever longer record.
    std::vector<std::vector<std::uint8_t>> framesWritten;
};

}  // namespace vyx::sim
