#pragma once
// Frames on their way to the tool, each due at a time of its own: a reply delay
// holds a frame back, and a USB-like line cuts it into chunks with gaps between.

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace vyx::sim {

class OutputQueue {
public:
    using Clock = std::chrono::steady_clock;
    using Frame = std::vector<std::uint8_t>;

    /// `chunkSize` 0 sends every frame in one write.
    OutputQueue(std::size_t chunkSize, std::chrono::microseconds gap)
        : chunkSize(chunkSize), gap(gap) {}

    /// Queues a frame to start no earlier than `earliest` and never ahead of the
    /// frames queued before it.
    void Push(Frame frame, Clock::time_point earliest);

    struct Progress {
        std::vector<Frame> finished;  ///< frames whose last byte was written
        bool blocked = false;         ///< the line is full: wait until it is writable
        bool failed = false;          ///< the write failed (the line is gone)
    };
    /// Writes every chunk that is due at `now` to `fd` (non-blocking).
    Progress WriteDue(int fd, Clock::time_point now);

    /// Takes every chunk that is due at `now`, in order, for a line that takes
    /// whole chunks at once (the browser page's demo device).
    std::vector<std::vector<std::uint8_t>> TakeDue(Clock::time_point now);

    /// When the next chunk is due; empty when nothing is queued.
    std::optional<Clock::time_point> NextDue() const;

    void Clear() { chunks.clear(); }

private:
    struct Chunk {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;
        std::size_t written = 0;
        std::optional<Frame> completes;  // set on a frame's last chunk
    };

    std::size_t chunkSize;
    std::chrono::microseconds gap;
    std::deque<Chunk> chunks;
    Clock::time_point lastDue{};
};

}  // namespace vyx::sim
