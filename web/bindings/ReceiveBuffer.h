#pragma once
// The bytes the page's read loop hands in, held until they form whole frames: the
// browser delivers a device's message in USB-sized chunks, and the receive
// handler checks each notification as one frame. Waits as the desktop port
// does: no wait when the bytes hold whole frames, else until a pause in the
// chunks or a limit in all, then the bytes go on as they are.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vyx::web {

class ReceiveBuffer {
public:
    using Clock = std::chrono::steady_clock;

    /// A pause this long without a chunk ends the wait for the rest of a frame.
    static constexpr std::chrono::milliseconds Gap{20};
    /// No frame is waited for longer than this in all.
    static constexpr std::chrono::milliseconds Limit{200};

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
