#pragma once
// Everything that shapes one simulated device: who it says it is, what its
// memory holds, how it times its answers and which faults it injects.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "SimBlocks.h"

namespace vyx::sim {

/// Which requests a fault hits. Requests are numbered from 1 in the order they
/// arrive (packages and memory reads; the count never restarts). A request is hit
/// when its number is at most `first`, or when `every` is not 0 and divides it.
struct FaultPattern {
    std::uint32_t every = 0;
    std::uint32_t first = 0;

    bool Hits(std::uint64_t requestNumber) const {
        return requestNumber <= first || (every != 0 && requestNumber % every == 0);
    }
    bool Active() const { return every != 0 || first != 0; }
};

struct SimOptions {
    // Identity announced to the tool.
    bool operatingMode = false;   ///< mode byte 0 instead of 1
    bool operatingFrame = false;  ///< announce with an operating-mode frame (code 11)
    /// ID words 0, 1, 2: the tool shows them in this order.
    std::array<std::uint32_t, 3> id = {0x00A1B2C3, 0x00000039, 0x56595800};
    /// The ID announced after a firmware restart, as another board would (a
    /// unit swapped on the cable while it restarted); empty: the same ID.
    std::optional<std::array<std::uint32_t, 3>> idAfterRestart;
    /// Product line, a shown-only byte, release major, release minor.
    std::array<std::uint8_t, 4> version = {4, 0, 2, 39};
    std::uint32_t configBase = 0x0803F000;
    std::string textA = "VYX";
    std::string textB = "SIMULADOR";

    ConfigBlock block = MakeBlock(BlockKind::Defaults);

    // Timing.
    /// From the port being opened to the first announcement: lets the tool finish
    /// setting up (and flushing) its port so the first one is not thrown away.
    std::chrono::milliseconds announceDelay{20};
    std::chrono::milliseconds announceInterval{500};
    std::chrono::milliseconds restartPause{300};
    std::chrono::milliseconds replyDelay{0};
    std::size_t chunkSize = 0;  ///< 0: every frame goes out in one write
    std::chrono::microseconds chunkGap{0};

    // Faults.
    FaultPattern drop;          ///< the request is lost: no effect, no reply
    FaultPattern nack;          ///< the request is refused with a negative acknowledgement
    FaultPattern corrupt;       ///< the reply goes out with a wrong checksum
    FaultPattern misaddressed;  ///< the reply goes out addressed to another receiver
    FaultPattern stray;         ///< bytes that form no frame go out before the reply
    FaultPattern delayed;       ///< the reply goes out `delayedBy` later than the others
    std::chrono::milliseconds delayedBy{0};
    std::uint32_t hangUpAfterPackage = 0;  ///< 0: never; else close on receiving package N
    /// 0: never; else close on receiving memory read N (counted over its whole life).
    std::uint32_t hangUpAtRead = 0;
    /// 0: never; else the device restarts on receiving memory read N (counted over
    /// its whole life), without answering it, and announces itself again.
    std::uint32_t restartAtRead = 0;

    // Where and how the port is published.
    std::string linkName = "vyx-sim";
    std::string portFolder;  ///< empty: the user's virtual-port folder

    /// Receives one line per notable event (announcement, stored block, ...).
    /// Called on the simulator's thread; empty: silent.
    std::function<void(const std::string&)> log;
};

}  // namespace vyx::sim
