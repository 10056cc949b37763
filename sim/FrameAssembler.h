#pragma once
// Cuts a byte stream into frames. Bytes may arrive in any pieces, several frames
// may share one read, and noise may sit between them: the assembler waits for a
// frame's declared length, checks its sum and, on a bad frame, looks for the next
// start byte one position further on.

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

namespace vyx::sim {

class FrameAssembler {
public:
    using Clock = std::chrono::steady_clock;

    /// A partial frame older than `staleAfter` when new bytes arrive is given up,
    /// so one lost byte cannot hold back the frames behind it for long.
    explicit FrameAssembler(std::chrono::milliseconds staleAfter = std::chrono::milliseconds(200))
        : staleAfter(staleAfter) {}

    /// Adds received bytes; returns every frame completed by them, whole (start
    /// byte through checksum), in order.
    std::vector<std::vector<std::uint8_t>> Feed(std::span<const std::uint8_t> bytes,
                                                Clock::time_point now = Clock::now());

    /// Forgets any partial frame (the line was closed).
    void Reset() { pending.clear(); }

    /// Bytes given up so far because they did not form a good frame.
    std::uint64_t Discarded() const { return discarded; }

private:
    void Discard(std::size_t count);

    std::chrono::milliseconds staleAfter;
    std::vector<std::uint8_t> pending;
    Clock::time_point lastFeed{};
    std::uint64_t discarded = 0;
};

}  // namespace vyx::sim
