// The receive queue's device side on Windows. Only the event thread reads the
// device (its overlapped read is the wait for bytes); the window thread reads
// the buffer and applies the port's read time-outs to it.
#include <algorithm>
#include <chrono>

#include "ComReceiveQueue.h"
#include "CommControl.h"

namespace vyx {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

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
        bool gone = false;
        {
            std::lock_guard lock(mutex);
            arrived.Take();
            const std::size_t now = Take(out + got, wanted - got);
            if (now > 0) {
                got += now;
                lastByte = Clock::now();
            }
            gone = hungUp;
        }
        result.count = static_cast<std::int32_t>(got);
        if (got == wanted || limits.immediate) {
            return result;
        }
        if (gone) {
            // What arrived before the hang-up is delivered; a read that finds
            // nothing at all fails.
            if (got == 0) {
                result.error = ERROR_BROKEN_PIPE;
            }
            return result;
        }
        auto deadline = Clock::time_point::max();
        if (limits.total) {
            deadline = start + *limits.total;
        }
        if (limits.interval && got > 0) {
            deadline = std::min(deadline, lastByte + *limits.interval);
        }
        DWORD waitMs = INFINITE;
        if (deadline != Clock::time_point::max()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                return result;
            }
            waitMs = static_cast<DWORD>(std::min<std::int64_t>(left.count(), 1 << 30));
        }
        if (::WaitForSingleObject(reinterpret_cast<HANDLE>(arrived.Native()), waitMs) ==
            WAIT_FAILED) {
            result.error = static_cast<int>(::GetLastError());
            return result;
        }
    }
}

int ComReceiveQueue::Count(std::int32_t& count) {
    std::lock_guard lock(mutex);
    count = 0;
    if (!hungUp) {
        // The event thread drains the driver's queue into the buffer before it
        // hands a batch over, so the buffer is what can be read now. The query
        // still clears the line-error state, and its failure is the caller's.
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(comm::Handle(device), &errors, &status)) {
            return static_cast<int>(::GetLastError());
        }
    }
    count = static_cast<std::int32_t>(bytes.size());
    return 0;
}

int ComReceiveQueue::Clear(bool input, bool output) {
    std::lock_guard lock(mutex);
    if (input && !bytes.empty()) {
        const bool wasFull = bytes.size() >= capacity;
        bytes.clear();
        if (wasFull) {
            room.Raise();
        }
    }
    const DWORD flags = (input ? PURGE_RXCLEAR : 0) | (output ? PURGE_TXCLEAR : 0);
    if (flags == 0 || ::PurgeComm(comm::Handle(device), flags)) {
        return 0;
    }
    const int code = static_cast<int>(::GetLastError());
    return hungUp && code != ERROR_INVALID_HANDLE ? 0 : code;
}

}  // namespace vyx
