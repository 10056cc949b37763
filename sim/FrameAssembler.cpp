#include "FrameAssembler.h"

#include <algorithm>

#include "Frame.h"

namespace vyx::sim {

void FrameAssembler::Discard(std::size_t count) {
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(count));
    discarded += count;
}

std::vector<std::vector<std::uint8_t>> FrameAssembler::Feed(std::span<const std::uint8_t> bytes,
                                                            Clock::time_point now) {
    if (!pending.empty() && now - lastFeed > staleAfter) {
        Discard(pending.size());
    }
    lastFeed = now;
    pending.insert(pending.end(), bytes.begin(), bytes.end());

    std::vector<std::vector<std::uint8_t>> frames;
    while (!pending.empty()) {
        const auto start = std::find(pending.begin(), pending.end(), FrameStart);
        Discard(static_cast<std::size_t>(start - pending.begin()));
        if (pending.size() < FrameHeaderSize) {
            break;
        }
        const std::size_t length = FramePayloadLength(pending.data());
        if (FrameHeaderSize + length > MaxFrameBody) {
            Discard(1);
            continue;
        }
        const std::size_t total = length + FrameOverhead;
        if (pending.size() < total) {
            break;
        }
        const std::size_t body = FrameHeaderSize + length;
        if (FrameChecksum(pending.data(), body) != ReadBE24(&pending[body])) {
            Discard(1);
            continue;
        }
        frames.emplace_back(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(total));
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(total));
    }
    return frames;
}

}  // namespace vyx::sim
