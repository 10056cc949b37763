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

constexpr std::size_t ChunkSize = 4096;

}  // namespace

std::size_t ComReceiveQueue::ReadDevice(std::uint8_t* out, std::size_t count, int& error) {
    const ssize_t n = ::read(static_cast<int>(device.load()), out, count);
    if (n > 0) {
        return static_cast<std::size_t>(n);
    }
    if (n == 0 || DeviceGone(errno)) {
        hungUp = true;
    } else if (errno != EAGAIN && errno != EINTR) {
        error = errno;
    }
    return 0;
}

int ComReceiveQueue::WaitForBytes(std::int64_t milliseconds) {
    pollfd fds[2] = {{static_cast<int>(device.load()), POLLIN, 0},
                     {static_cast<int>(arrived.Native()), POLLIN, 0}};
    if (::poll(fds, 2, static_cast<int>(milliseconds)) < 0 && errno != EINTR) {
        return errno;
    }
    if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 && (fds[0].revents & POLLIN) == 0) {
        std::lock_guard lock(mutex);
        if (bytes.empty()) {
            hungUp = true;
        }
    }
    return 0;
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
    if (input) {
        DropBuffered();
    }
    const int code = tty::Flush(static_cast<int>(device.load()), input, output);
    return hungUp && code != EBADF ? 0 : code;
}

ComReceiveQueue::FillResult ComReceiveQueue::Fill(bool toTheEnd) {
    FillResult result;
    std::lock_guard lock(mutex);
    const int fd = static_cast<int>(device.load());
    const std::uint8_t flag = eventChar;
    std::uint8_t chunk[ChunkSize];
    while (bytes.size() < capacity) {
        const std::size_t asked = std::min(sizeof chunk, capacity - bytes.size());
        const ssize_t n = ::read(fd, chunk, asked);
        if (n > 0) {
            bytes.insert(bytes.end(), chunk, chunk + n);
            result.added += static_cast<std::size_t>(n);
            result.sawEventChar = result.sawEventChar || std::memchr(chunk, flag, n) != nullptr;
            // A short read took all the driver had: asking again would only
            // return EAGAIN. New bytes wake the next wait.
            if (static_cast<std::size_t>(n) < asked && !toTheEnd) {
                break;
            }
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
        TellArrival();
    }
    return result;
}

}  // namespace vyx
