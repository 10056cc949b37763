// The receive queue's device side on POSIX systems: non-blocking reads and poll().
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "ComReceiveQueue.h"
#include "SystemCodes.h"
#include "TtyControl.h"

namespace vyx {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t ChunkSize = 4096;

}  // namespace

ComReceiveQueue::ReadResult ComReceiveQueue::Read(std::uint8_t* out, std::int32_t count,
                                                  const TComTimeouts::ReadLimits& limits) {
    ReadResult result;
    if (count <= 0) {
        return result;
    }
    const int fd = static_cast<int>(device.load());
    const auto start = Clock::now();
    auto lastByte = start;
    const std::size_t wanted = static_cast<std::size_t>(count);
    std::size_t got = 0;
    for (;;) {
        bool gone = false;
        {
            std::lock_guard lock(mutex);
            arrived.Take();
            std::size_t now = Take(out + got, wanted - got);
            if (got + now < wanted && !hungUp) {
                const ssize_t n = ::read(fd, out + got + now, wanted - got - now);
                if (n > 0) {
                    now += static_cast<std::size_t>(n);
                } else if (n == 0 || (n < 0 && DeviceGone(errno))) {
                    hungUp = true;
                } else if (errno != EAGAIN && errno != EINTR) {
                    result.error = errno;
                }
            }
            if (now > 0) {
                got += now;
                lastByte = Clock::now();
            }
            gone = hungUp;
        }
        result.count = static_cast<std::int32_t>(got);
        if (result.error != 0 || got == wanted || limits.immediate) {
            return result;
        }
        if (gone) {
            // What arrived before the hang-up is delivered; a read that finds
            // nothing at all fails.
            if (got == 0) {
                result.error = EIO;
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
        int waitMs = -1;
        if (deadline != Clock::time_point::max()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                return result;
            }
            waitMs = static_cast<int>(std::min<std::int64_t>(left.count(), 1 << 30));
        }
        pollfd fds[2] = {{fd, POLLIN, 0}, {static_cast<int>(arrived.Native()), POLLIN, 0}};
        if (::poll(fds, 2, waitMs) < 0 && errno != EINTR) {
            result.error = errno;
            return result;
        }
        if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 &&
            (fds[0].revents & POLLIN) == 0) {
            std::lock_guard lock(mutex);
            if (bytes.empty()) {
                hungUp = true;
            }
        }
    }
}

int ComReceiveQueue::Count(std::int32_t& count) {
    std::lock_guard lock(mutex);
    std::int32_t driver = 0;
    if (!hungUp) {
        if (int code = tty::QueuedInput(static_cast<int>(device.load()), driver)) {
            count = 0;
            return code;
        }
    }
    count = static_cast<std::int32_t>(bytes.size()) + driver;
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
    const int code = tty::Flush(static_cast<int>(device.load()), input, output);
    return hungUp && code != EBADF ? 0 : code;
}

ComReceiveQueue::FillResult ComReceiveQueue::Fill() {
    FillResult result;
    std::lock_guard lock(mutex);
    const int fd = static_cast<int>(device.load());
    const std::uint8_t flag = eventChar;
    std::uint8_t chunk[ChunkSize];
    while (bytes.size() < capacity) {
        const ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, capacity - bytes.size()));
        if (n > 0) {
            bytes.insert(bytes.end(), chunk, chunk + n);
            result.added += static_cast<std::size_t>(n);
            result.sawEventChar = result.sawEventChar || std::memchr(chunk, flag, n) != nullptr;
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0 || errno != EAGAIN) {
            // A read of 0 from a terminal that waits for one byte, EIO or any
            // other failure: the device will give nothing more.
            hungUp = true;
            result.hungUp = true;
        }
        break;
    }
    if (result.added > 0) {
        arrived.Raise();
    }
    return result;
}

}  // namespace vyx
