#include "ComReceiveQueue.h"

#include <algorithm>
#include <cstring>

#include "SystemCodes.h"

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
    readerWaiting = false;
    arrivalTold = false;
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

void ComReceiveQueue::DropBuffered() {
    const bool wasFull = bytes.size() >= capacity;
    bytes.clear();
    if (wasFull) {
        room.Raise();
    }
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
    TellArrival();
    return result;
}

void ComReceiveQueue::TellArrival() {
    // Raised only for a Read that waits: the signal costs two system calls.
    if (readerWaiting && !arrivalTold) {
        arrived.Raise();
        arrivalTold = true;
    }
}

ComReceiveQueue::ReadResult ComReceiveQueue::Read(std::uint8_t* out, std::int32_t count,
                                                  const TComTimeouts::ReadLimits& limits) {
    ReadResult result;
    if (count <= 0) {
        return result;
    }
    const auto start = Clock::now();
    auto lastByte = start;
    const std::size_t wanted = static_cast<std::size_t>(count);
    std::size_t got = 0;
    for (;;) {
        std::optional<std::int64_t> left;
        {
            std::lock_guard lock(mutex);
            readerWaiting = false;
            if (arrivalTold) {
                arrived.Take();
                arrivalTold = false;
            }
            std::size_t now = Take(out + got, wanted - got);
            if (got + now < wanted && !hungUp) {
                now += ReadDevice(out + got + now, wanted - got - now, result.error);
            }
            if (now > 0) {
                got += now;
                lastByte = Clock::now();
            }
            result.count = static_cast<std::int32_t>(got);
            if (result.error != 0 || got == wanted || limits.immediate) {
                return result;
            }
            if (hungUp) {
                // What arrived before the hang-up is delivered; a read that finds
                // nothing at all fails.
                if (got == 0) {
                    result.error = DeviceGoneCode();
                }
                return result;
            }
            left = WaitLeft(limits, start, lastByte, got);
            if (!left) {
                return result;
            }
            // Under the same lock as the look at the buffer: bytes appended from
            // here on wake the wait below.
            readerWaiting = true;
        }
        if (int code = WaitForBytes(*left)) {
            result.error = code;
            return result;
        }
    }
}

std::optional<std::int64_t> ComReceiveQueue::WaitLeft(const TComTimeouts::ReadLimits& limits,
                                                      Clock::time_point start,
                                                      Clock::time_point lastByte, std::size_t got) {
    auto deadline = Clock::time_point::max();
    if (limits.total) {
        deadline = start + *limits.total;
    }
    if (limits.interval && got > 0) {
        deadline = std::min(deadline, lastByte + *limits.interval);
    }
    if (deadline == Clock::time_point::max()) {
        return -1;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
        return std::nullopt;
    }
    return std::min<std::int64_t>(left.count(), 1 << 30);
}

bool ComReceiveQueue::Full() {
    std::lock_guard lock(mutex);
    return bytes.size() >= capacity;
}

std::size_t ComReceiveQueue::Room() {
    std::lock_guard lock(mutex);
    return bytes.size() >= capacity ? 0 : capacity - bytes.size();
}

std::size_t ComReceiveQueue::Buffered() {
    std::lock_guard lock(mutex);
    return bytes.size();
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
