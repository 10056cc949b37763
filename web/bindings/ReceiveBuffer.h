#pragma once
// The bytes the page's read loop hands in, held until they form whole frames: the
// browser delivers a device's message in USB-sized chunks, and the receive
// handler checks each notification as one frame. Waits as the desktop port
// does, by the link's CoalesceDue.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vyx::web {

class ReceiveBuffer {
public:
    using Clock = std::chrono::steady_clock;

    /// Adds a chunk. Returns zero when the bytes should be handed over now, else
    /// how long to wait before asking Due again.
    std::chrono::milliseconds Add(std::span<const std::uint8_t> bytes, Clock::time_point now);
    /// After a wait: zero when the bytes should be handed over now (or nothing is
    /// held), else how much longer to wait.
    std::chrono::milliseconds Due(Clock::time_point now) const;

    /// Takes up to `count` bytes from the front; returns how many were taken.
    std::size_t Take(std::uint8_t* out, std::size_t count);
    std::size_t Size() const { return bytes.size(); }
    /// Forgets what is held (the port closed or went away).
    void Clear() { bytes.clear(); }

private:
    std::vector<std::uint8_t> bytes;
    Clock::time_point first{};
    Clock::time_point last{};
};

}  // namespace vyx::web
