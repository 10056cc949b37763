#include "ComReceiveQueue.h"

#include <algorithm>
#include <cstring>

namespace vyx {

namespace {

// Least size of the buffer, whatever the port's InputSize says: a whole device
// message always fits.
constexpr std::size_t MinimumCapacity = 64 * 1024;

}  // namespace

ComReceiveQueue::ComReceiveQueue() : capacity(MinimumCapacity) {}

void ComReceiveQueue::Attach(ComHandle value) {
    std::lock_guard lock(mutex);
    bytes.clear();
    hungUp = false;
    arrived.Take();
    room.Take();
    device = value;
}

void ComReceiveQueue::Detach() {
    std::lock_guard lock(mutex);
    bytes.clear();
    device = NoComHandle;
}

void ComReceiveQueue::SetCapacity(std::size_t value) {
    std::lock_guard lock(mutex);
    capacity = std::max(value, MinimumCapacity);
}

void ComReceiveQueue::SetHint(FrameCompleteHint value) {
    std::lock_guard lock(mutex);
    hint = std::move(value);
}

std::size_t ComReceiveQueue::Take(std::uint8_t* out, std::size_t count) {
    const bool wasFull = bytes.size() >= capacity;
    const std::size_t n = std::min(count, bytes.size());
    if (n == 0) {
        return 0;
    }
    std::memcpy(out, bytes.data(), n);
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    if (wasFull) {
        room.Raise();
    }
    return n;
}

ComReceiveQueue::FillResult ComReceiveQueue::Append(const std::uint8_t* data, std::size_t count) {
    FillResult result;
    if (count == 0) {
        return result;
    }
    std::lock_guard lock(mutex);
    bytes.insert(bytes.end(), data, data + count);
    result.added = count;
    result.sawEventChar = std::memchr(data, eventChar.load(), count) != nullptr;
    arrived.Raise();
    return result;
}

bool ComReceiveQueue::Full() {
    std::lock_guard lock(mutex);
    return bytes.size() >= capacity;
}

std::size_t ComReceiveQueue::Room() {
    std::lock_guard lock(mutex);
    return bytes.size() >= capacity ? 0 : capacity - bytes.size();
}

bool ComReceiveQueue::HoldsWholeMessages() {
    std::lock_guard lock(mutex);
    try {
        return !hint || hint(bytes.data(), bytes.size());
    } catch (...) {
        // A hint that fails cannot hold the bytes back: they go as they are.
        return true;
    }
}

}  // namespace vyx
