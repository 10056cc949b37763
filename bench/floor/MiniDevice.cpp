#include "MiniDevice.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

#include "DeviceModel.h"
#include "Frame.h"

namespace vyx::bench {

namespace {

constexpr std::uint8_t RestartedMinor = 39;
constexpr std::chrono::milliseconds AnnounceInterval{10};
constexpr std::chrono::milliseconds RestartPause{50};
constexpr std::size_t PackageHeader = 6;  // transfer id, index, count
constexpr std::size_t PackageData = 48;

std::vector<std::uint8_t> Announcement(std::array<std::uint8_t, 4> version) {
    sim::SimOptions options;
    options.version = version;
    return sim::DeviceModel(options).Announcement();
}

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

void WriteAll(int fd, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n > 0) {
            bytes += n;
            size -= static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            return;  // the tool closed the port
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 10);
        }
    }
}

}  // namespace

MiniDevice::MiniDevice(std::array<std::uint8_t, 4> version, std::chrono::microseconds delay)
    : delay(delay),
      announcement(Announcement(version)),
      restarted(Announcement({version[0], version[1], version[2], RestartedMinor})),
      block(sim::MakeBlock(sim::BlockKind::Defaults)),
      configBase(sim::SimOptions{}.configBase) {
    stopFd = ::eventfd(0, EFD_CLOEXEC);
    log.bytes.reserve(1 << 21);
    log.ends.reserve(1 << 13);
    thread = std::thread(&MiniDevice::Run, this);
}

MiniDevice::~MiniDevice() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopFd, &one, sizeof one);
    thread.join();
    ::close(stopFd);
}

void MiniDevice::Measure(std::size_t count, std::function<void()> first,
                         std::function<void()> last) {
    measured = count;
    atStart = std::move(first);
    atEnd = std::move(last);
}

bool MiniDevice::WaitForEnd(std::chrono::milliseconds limit) const {
    const auto deadline = Clock::now() + limit;
    while (!ended) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

Usage MiniDevice::Now() const {
    Usage u;
    u.wall = Clock::now();
    rusage r{};
    ::getrusage(RUSAGE_SELF, &r);
    u.processCpu = Seconds(r.ru_utime) + Seconds(r.ru_stime);
    u.processSwitches = r.ru_nvcsw + r.ru_nivcsw;
    ::getrusage(RUSAGE_THREAD, &r);
    u.deviceCpu = Seconds(r.ru_utime) + Seconds(r.ru_stime);
    u.deviceSwitches = r.ru_nvcsw + r.ru_nivcsw;
    return u;
}

void MiniDevice::Run() {
    // The reply delay is held to the microsecond, not to the default 50 µs slack.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    std::array<std::uint8_t, 8192> in{};
    std::size_t have = 0;
    for (;;) {
        const auto now = Clock::now();
        int timeout = -1;
        if (!spokenTo) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(nextAnnouncement - now);
            timeout = static_cast<int>(std::max<std::int64_t>(left.count(), 0));
        }
        pollfd fds[2] = {{stopFd, POLLIN, 0}, {line.Master(), POLLIN, 0}};
        ::poll(fds, 2, timeout);
        if (fds[0].revents != 0) {
            return;
        }
        if ((fds[1].revents & POLLHUP) != 0 && (fds[1].revents & POLLIN) == 0) {
            // Nobody holds the port: the master reports a hang-up at once, every time.
            pollfd stop{stopFd, POLLIN, 0};
            if (::poll(&stop, 1, 1) > 0) {
                return;
            }
            nextAnnouncement = Clock::now() + AnnounceInterval / 5;
            continue;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            const ssize_t n = ::read(line.Master(), in.data() + have, in.size() - have);
            const auto arrival = Clock::now();
            have += n > 0 ? static_cast<std::size_t>(n) : 0;
            std::size_t at = 0;
            while (have - at >= FrameOverhead) {
                if (in[at] != FrameStart) {
                    ++at;
                    continue;
                }
                const std::size_t size = FrameSizeOf(&in[at]);
                if (have - at < size) {
                    break;
                }
                Handle(&in[at], size, arrival);
                at += size;
            }
            std::memmove(in.data(), in.data() + at, have - at);
            have -= at;
        }
        if (!spokenTo && Clock::now() >= nextAnnouncement) {
            const auto& frame = afterRestart ? restarted : announcement;
            WriteAll(line.Master(), frame.data(), frame.size());
            nextAnnouncement = Clock::now() + AnnounceInterval;
        }
    }
}

void MiniDevice::Handle(const std::uint8_t* frame, std::size_t size, Clock::time_point arrival) {
    const auto code = static_cast<MessageCode>(FrameCodeOf(frame));
    const std::uint8_t* payload = frame + FrameHeaderSize;
    const std::size_t payloadSize = size - FrameOverhead;
    const bool package = code == MessageCode::FirmwarePackage || code == MessageCode::ConfigPackage;
    if ((!package && code != MessageCode::MemoryRead) || payloadSize < PackageHeader) {
        return;  // a jump or a stray frame: no reply
    }
    spokenTo = true;
    if (++requests == 1 && atStart) {
        atStart();
    }
    if (requests == 1) {
        start = Now();
    }
    if (recording && log.bytes.size() + size <= log.bytes.capacity()) {
        log.bytes.insert(log.bytes.end(), frame, frame + size);
        log.ends.push_back(log.bytes.size());
    }
    std::uint8_t* reply = out.data() + FrameHeaderSize;
    if (package) {
        const std::uint16_t index = ReadBE16(payload + 2);
        const std::uint16_t count = ReadBE16(payload + 4);
        const std::size_t data = payloadSize - PackageHeader;
        const std::size_t offset = (index - 1u) * PackageData;
        if (code == MessageCode::ConfigPackage && index < count && offset + data <= block.size()) {
            std::memcpy(block.data() + offset, payload + PackageHeader, data);
        }
        PutBE16(reply, index);
        Reply(static_cast<std::uint8_t>(MessageCode::Ack), 2, arrival);
        if (code == MessageCode::FirmwarePackage && index == count) {
            spokenTo = false;
            afterRestart = true;
            nextAnnouncement = Clock::now() + RestartPause;
        }
    } else {
        const std::uint32_t offset = ReadBE32(payload) - configBase;
        const std::size_t asked = ReadBE16(payload + 4);
        const std::size_t count =
            offset < block.size() ? std::min(asked, block.size() - offset) : 0;
        std::memcpy(reply, payload, 4);
        PutBE16(reply + 4, static_cast<std::uint32_t>(count));
        if (count > 0) {
            std::memcpy(reply + 6, block.data() + offset, count);
        }
        Reply(static_cast<std::uint8_t>(MessageCode::MemoryRead), 6 + count, arrival);
    }
    if (requests == measured) {
        end = Now();
        if (atEnd) {
            atEnd();
        }
        ended = true;
    }
}

void MiniDevice::Reply(std::uint8_t code, std::size_t payloadSize, Clock::time_point arrival) {
    if (delay.count() > 0) {
        const auto due = std::chrono::duration_cast<std::chrono::nanoseconds>(
            (arrival + delay).time_since_epoch());
        const timespec at{static_cast<time_t>(due.count() / 1'000'000'000),
                          static_cast<long>(due.count() % 1'000'000'000)};
        while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
        }
    }
    const std::size_t size = SealFrame(out, DeviceToTool, code, payloadSize);
    WriteAll(line.Master(), out.data(), size);
}

}  // namespace vyx::bench
