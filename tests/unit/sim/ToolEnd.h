#pragma once
// The tool's end of a simulated line, as a test drives it: opens the port raw,
// writes frames whole and reads whole frames back with a deadline.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Frame.h"
#include "FrameAssembler.h"
#include "SimBlocks.h"

namespace vyx::sim::test {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// Message codes as they stand in byte 2 of a frame.
constexpr std::uint8_t IdentityCode = static_cast<std::uint8_t>(MessageCode::Identity);
constexpr std::uint8_t AckCode = static_cast<std::uint8_t>(MessageCode::Ack);
constexpr std::uint8_t NackCode = static_cast<std::uint8_t>(MessageCode::Nack);
constexpr std::uint8_t JumpCode = static_cast<std::uint8_t>(MessageCode::Jump);
constexpr std::uint8_t ReadCode = static_cast<std::uint8_t>(MessageCode::MemoryRead);
constexpr std::uint8_t ConfigCode = static_cast<std::uint8_t>(MessageCode::ConfigPackage);
constexpr std::uint8_t FirmwareCode = static_cast<std::uint8_t>(MessageCode::FirmwarePackage);

class ToolEnd {
public:
    explicit ToolEnd(const std::string& path);
    ~ToolEnd();
    ToolEnd(const ToolEnd&) = delete;
    ToolEnd& operator=(const ToolEnd&) = delete;

    void Send(std::uint8_t code, std::span<const std::uint8_t> payload);
    void SendBytes(std::span<const std::uint8_t> bytes);

    /// The next whole frame from the device, or nothing when `timeout` passes.
    std::optional<Bytes> Next(std::chrono::milliseconds timeout = 5s);
    /// The next frame that is not an announcement.
    std::optional<Bytes> NextReply(std::chrono::milliseconds timeout = 5s);

    /// Sends a memory read request and returns the reply frame.
    std::optional<Bytes> Read(std::uint32_t address, std::uint16_t count);

    /// Sends `image` as a transfer of `kind`, one package at a time, waiting for
    /// each answer; returns the code of the answer to the last package (2 or 3),
    /// or 0 when an answer did not come.
    int SendImage(std::uint8_t kind, std::span<const std::uint8_t> image, const Trailer& trailer,
                  std::uint16_t transferId = 0x1234);

    /// read() calls that returned bytes so far, and their sizes.
    const std::vector<std::size_t>& ReadSizes() const { return readSizes; }
    /// When the first and the latest byte arrived.
    std::chrono::steady_clock::time_point FirstByte() const { return firstByte; }
    std::chrono::steady_clock::time_point LastByte() const { return lastByte; }

    /// Whether the line reported a hang-up while waiting.
    bool HungUp() const { return hungUp; }

    void Close();

private:
    int fd = -1;
    FrameAssembler assembler;
    std::vector<Bytes> ready;
    std::vector<std::size_t> readSizes;
    std::chrono::steady_clock::time_point firstByte{}, lastByte{};
    bool hungUp = false;
};

/// Payload of one transfer package.
Bytes PackagePayload(std::uint16_t id, std::uint16_t index, std::uint16_t count,
                     std::span<const std::uint8_t> data);

/// A firmware-sized image (89,268 bytes) of a fixed pattern, and its check value
/// computed here, apart from the simulator's own.
Bytes MakeFirmwareImage();
Trailer CheckValue(std::span<const std::uint8_t> image);

/// A private folder that stands in for the user's virtual-port folder.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return path; }

private:
    std::string path;
};

}  // namespace vyx::sim::test
