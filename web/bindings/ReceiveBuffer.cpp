#include "ReceiveBuffer.h"

#include <algorithm>
#include <cstring>

#include "FrameCheck.h"

namespace vyx::web {

std::chrono::milliseconds ReceiveBuffer::Add(std::span<const std::uint8_t> chunk,
                                             Clock::time_point now) {
    if (bytes.empty()) {
        first = now;
    }
    last = now;
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    return Due(now);
}

std::chrono::milliseconds ReceiveBuffer::Due(Clock::time_point now) const {
    if (bytes.empty() || IsFrameComplete(bytes.data(), bytes.size())) {
        return std::chrono::milliseconds(0);
    }
    const auto left = CoalesceDue(first, last) - now;
    return std::max(std::chrono::ceil<std::chrono::milliseconds>(left),
                    std::chrono::milliseconds(0));
}

std::size_t ReceiveBuffer::Take(std::uint8_t* out, std::size_t count) {
    const std::size_t n = std::min(count, bytes.size());
    if (n == 0) {
        return 0;
    }
    std::memcpy(out, bytes.data(), n);
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

}  // namespace vyx::web
