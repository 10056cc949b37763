#include "FloorClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cstring>

#include "Frame.h"

namespace vyx::bench {

namespace {

constexpr int ReplyLimitMs = 1000;

// Reads until a whole frame other than an announcement has come.
bool AwaitReply(int fd, std::array<std::uint8_t, 4096>& in) {
    std::size_t have = 0;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, ReplyLimitMs) <= 0) {
            return false;
        }
        const ssize_t n = ::read(fd, in.data() + have, in.size() - have);
        if (n <= 0) {
            continue;
        }
        have += static_cast<std::size_t>(n);
        while (have >= FrameHeaderSize) {
            const std::size_t size = FrameSizeOf(in.data());
            if (have < size) {
                break;
            }
            if (FrameCodeOf(in.data()) != static_cast<std::uint8_t>(MessageCode::Identity)) {
                return true;
            }
            std::memmove(in.data(), in.data() + size, have - size);
            have -= size;
        }
    }
}

}  // namespace

bool ReplayExchanges(const std::string& path, const RequestLog& requests) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    ::tcflush(fd, TCIOFLUSH);
    std::array<std::uint8_t, 4096> in{};
    bool ok = true;
    std::size_t begin = 0;
    for (const std::size_t end : requests.ends) {
        const std::size_t size = end - begin;
        ok = ::write(fd, requests.bytes.data() + begin, size) == static_cast<ssize_t>(size) &&
             AwaitReply(fd, in);
        if (!ok) {
            break;
        }
        begin = end;
    }
    ::close(fd);
    return ok;
}

}  // namespace vyx::bench
