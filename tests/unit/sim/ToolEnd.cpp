#include "ToolEnd.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "Frame.h"

namespace vyx::sim::test {

ToolEnd::ToolEnd(const std::string& path) {
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("cannot open " + path);
    }
    termios modes{};
    tcgetattr(fd, &modes);
    cfmakeraw(&modes);
    tcsetattr(fd, TCSANOW, &modes);
}

ToolEnd::~ToolEnd() {
    Close();
}

void ToolEnd::Close() {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

void ToolEnd::SendBytes(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else {
            pollfd entry{fd, POLLOUT, 0};
            ::poll(&entry, 1, 100);
        }
    }
}

void ToolEnd::Send(std::uint8_t code, std::span<const std::uint8_t> payload) {
    SendBytes(EncodeFrame(code, payload));
}

std::optional<Bytes> ToolEnd::Next(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (ready.empty()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        std::uint8_t buffer[4096];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count <= 0) {
            hungUp = hungUp || (entry.revents & POLLHUP) != 0 || count == 0;
            if (hungUp) {
                return std::nullopt;
            }
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        if (readSizes.empty()) {
            firstByte = now;
        }
        lastByte = now;
        readSizes.push_back(static_cast<std::size_t>(count));
        for (auto& frame : assembler.Feed(std::span(buffer, static_cast<std::size_t>(count)))) {
            ready.push_back(std::move(frame));
        }
    }
    Bytes frame = std::move(ready.front());
    ready.erase(ready.begin());
    return frame;
}

std::optional<Bytes> ToolEnd::NextReply(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        auto frame = Next(std::max(left, std::chrono::milliseconds(0)));
        if (!frame || (*frame)[2] != static_cast<std::uint8_t>(MessageCode::Identity)) {
            return frame;
        }
    }
}

std::optional<Bytes> ToolEnd::Read(std::uint32_t address, std::uint16_t count) {
    Bytes request;
    AppendBE32(request, address);
    AppendBE16(request, count);
    Send(static_cast<std::uint8_t>(MessageCode::MemoryRead), request);
    return NextReply();
}

int ToolEnd::SendImage(std::uint8_t kind, std::span<const std::uint8_t> image,
                       const Trailer& trailer, std::uint16_t transferId) {
    constexpr std::size_t DataSize = 48;
    const auto count = static_cast<std::uint16_t>((image.size() + DataSize - 1) / DataSize + 1);
    for (std::uint16_t index = 1; index <= count; ++index) {
        const auto data =
            index < count
                ? image.subspan((index - 1u) * DataSize,
                                std::min(DataSize, image.size() - (index - 1u) * DataSize))
                : std::span<const std::uint8_t>(trailer);
        Send(kind, PackagePayload(transferId, index, count, data));
        const auto reply = NextReply();
        if (!reply) {
            return 0;
        }
        if (index == count || (*reply)[2] != static_cast<std::uint8_t>(MessageCode::Ack)) {
            return (*reply)[2];
        }
    }
    return 0;
}

Bytes PackagePayload(std::uint16_t id, std::uint16_t index, std::uint16_t count,
                     std::span<const std::uint8_t> data) {
    Bytes payload;
    AppendBE16(payload, id);
    AppendBE16(payload, index);
    AppendBE16(payload, count);
    payload.insert(payload.end(), data.begin(), data.end());
    return payload;
}

Bytes MakeFirmwareImage() {
    Bytes image(FirmwareImageSize);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>((i * 7 + i / 256) & 0xFF);
    }
    return image;
}

Trailer CheckValue(std::span<const std::uint8_t> image) {
    std::uint8_t x = 0;
    std::uint32_t sum = 0;
    for (const auto b : image) {
        x = static_cast<std::uint8_t>(x ^ b);
        sum += b;
    }
    return {x, static_cast<std::uint8_t>(sum >> 24), static_cast<std::uint8_t>(sum >> 16),
            static_cast<std::uint8_t>(sum >> 8), static_cast<std::uint8_t>(sum)};
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vyx-sim-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

}  // namespace vyx::sim::test
