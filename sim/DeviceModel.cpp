#include "DeviceModel.h"

#include <algorithm>

#include "Frame.h"

namespace vyx::sim {
namespace {

constexpr std::size_t PackageHeaderSize = 6;  // transfer id, index, count
constexpr std::size_t PackageDataSize = 48;
constexpr std::size_t MemoryReadRequestSize = 6;  // address, byte count
// A reply must fit the largest frame the tool takes: 1,019 payload bytes.
constexpr std::size_t MaxReadBytes = MaxFrameBody - FrameHeaderSize - MemoryReadRequestSize;
constexpr std::size_t IdentityTextSize = 12;
constexpr std::uint8_t ReleaseMajor = 2;
constexpr std::uint8_t ReleaseMinor = 39;
// Line noise: a start byte with a length that runs past any frame, then bytes
// that are no start byte, so the receiver has to drop them and resynchronise.
const std::vector<std::uint8_t> StrayBytes = {0xBC, 0xFF, 0xFF, 0x00, 0x55, 0xAA, 0x00};
// A receiver that is not the tool: the reply is meant for something else on the line.
constexpr std::uint8_t OtherReceiver = ToolAddress + 1;

std::string Hex(std::uint32_t value) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += Digits[(value >> shift) & 0xF];
    }
    return text;
}

void AppendText(std::vector<std::uint8_t>& out, const std::string& text) {
    for (std::size_t i = 0; i < IdentityTextSize; ++i) {
        out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
    }
}

}  // namespace

DeviceModel::DeviceModel(const SimOptions& options) : options(options) {
    status.id = options.id;
    status.version = options.version;
    status.block = options.block;
}

DeviceModel::Frame DeviceModel::Reply(std::uint8_t code, std::span<const std::uint8_t> payload) {
    return EncodeFrameFrom(DeviceToTool, code, payload);
}

DeviceModel::Frame DeviceModel::AckFrame(std::uint16_t index) {
    std::vector<std::uint8_t> payload;
    AppendBE16(payload, index);
    ++status.acksSent;
    return Reply(static_cast<std::uint8_t>(MessageCode::Ack), payload);
}

DeviceModel::Frame DeviceModel::NackFrame() {
    ++status.nacksSent;
    return Reply(static_cast<std::uint8_t>(MessageCode::Nack), {});
}

DeviceModel::Frame DeviceModel::Announcement() const {
    if (options.operatingFrame) {
        return EncodeFrameFrom(DeviceToTool, static_cast<std::uint8_t>(MessageCode::OperatingMode),
                               {});
    }
    std::vector<std::uint8_t> payload;
    payload.push_back(options.operatingMode ? 0 : 1);
    AppendBE32(payload, status.id[2]);
    AppendBE32(payload, status.id[1]);
    AppendBE32(payload, status.id[0]);
    AppendText(payload, options.textA);
    AppendText(payload, options.textB);
    payload.insert(payload.end(), status.version.begin(), status.version.end());
    AppendBE32(payload, options.configBase);
    return EncodeFrameFrom(DeviceToTool, static_cast<std::uint8_t>(MessageCode::Identity), payload);
}

void DeviceModel::FinishRestart() {
    status.version[2] = ReleaseMajor;
    status.version[3] = ReleaseMinor;
    status.id = options.idAfterRestart.value_or(status.id);
    status.restarting = false;
    status.spokenTo = false;
    transfer = {};
}

void DeviceModel::PortOpened() {
    status.spokenTo = false;
    transfer = {};
}

DeviceModel::Outcome DeviceModel::HandleFrame(std::span<const std::uint8_t> frame) {
    ++status.framesReceived;
    if ((FrameAddressOf(frame.data()) & 0x0F) != DeviceAddress) {
        ++status.framesForOthers;
        return {};
    }
    if (status.restarting) {
        ++status.framesIgnored;
        return {};
    }
    const std::uint8_t code = FrameCodeOf(frame.data());
    const auto payload = frame.subspan(FrameHeaderSize, FramePayloadLength(frame.data()));
    const bool isPackage = code == static_cast<std::uint8_t>(MessageCode::FirmwarePackage) ||
                           code == static_cast<std::uint8_t>(MessageCode::ConfigPackage);
    const bool isRead = code == static_cast<std::uint8_t>(MessageCode::MemoryRead);

    Outcome outcome;
    if (isPackage || isRead) {
        const std::uint64_t number = ++status.requestsSeen;
        if (options.drop.Hits(number)) {
            ++status.requestsDropped;
            outcome.notes.push_back("request " + std::to_string(number) + " dropped");
            return outcome;
        }
        status.spokenTo = true;
        if (isRead && options.hangUpAtRead != 0 && status.memoryReads + 1 == options.hangUpAtRead) {
            outcome.hangUp = true;
            outcome.notes.push_back("hanging up at memory read " +
                                    std::to_string(options.hangUpAtRead));
            return outcome;
        }
        if (isRead && options.restartAtRead != 0 &&
            status.memoryReads + 1 == options.restartAtRead) {
            ++status.memoryReads;
            ++status.restartsMidRead;
            status.restarting = true;
            outcome.restart = true;
            outcome.notes.push_back("restarting at memory read " +
                                    std::to_string(options.restartAtRead));
            return outcome;
        }
        if (isPackage && options.hangUpAfterPackage != 0 && payload.size() >= 4 &&
            ReadBE16(&payload[2]) == options.hangUpAfterPackage) {
            outcome.hangUp = true;
            outcome.notes.push_back("hanging up at package " +
                                    std::to_string(options.hangUpAfterPackage));
            return outcome;
        }
        if (options.nack.Hits(number)) {
            outcome.replies.push_back(NackFrame());
            outcome.notes.push_back("request " + std::to_string(number) + " refused");
        } else {
            outcome = isPackage ? HandlePackage(code, payload) : HandleMemoryRead(payload);
        }
        if (options.misaddressed.Hits(number)) {
            for (Frame& reply : outcome.replies) {
                reply = EncodeFrameFrom(
                    static_cast<std::uint8_t>((FrameAddressOf(reply.data()) & 0xF0) |
                                              OtherReceiver),
                    FrameCodeOf(reply.data()),
                    std::span(reply).subspan(FrameHeaderSize, FramePayloadLength(reply.data())));
                ++status.repliesMisaddressed;
            }
        }
        if (options.corrupt.Hits(number)) {
            for (Frame& reply : outcome.replies) {
                reply.back() ^= 0x5A;  // the low checksum byte no longer matches
                ++status.repliesCorrupted;
            }
        }
        if (options.delayed.Hits(number)) {
            outcome.delay = options.delayedBy;
        }
        if (options.stray.Hits(number) && !outcome.replies.empty()) {
            outcome.replies.insert(outcome.replies.begin(), StrayBytes);
            ++status.strayRuns;
        }
        return outcome;
    }
    status.spokenTo = true;
    if (code == static_cast<std::uint8_t>(MessageCode::Jump)) {
        ++status.jumps;
        outcome.notes.push_back("jump command");
    }
    return outcome;
}

DeviceModel::Outcome DeviceModel::HandleMemoryRead(std::span<const std::uint8_t> payload) {
    ++status.memoryReads;
    Outcome outcome;
    if (payload.size() < MemoryReadRequestSize) {
        outcome.replies.push_back(NackFrame());
        outcome.notes.push_back("memory read with a short request refused");
        return outcome;
    }
    const std::uint32_t address = ReadBE32(&payload[0]);
    const std::size_t asked = ReadBE16(&payload[4]);
    const std::uint32_t offset = address - options.configBase;  // wraps below the base
    if (asked == 0 || asked > MaxReadBytes || offset >= ConfigBlockSize) {
        outcome.replies.push_back(NackFrame());
        outcome.notes.push_back("memory read " + Hex(address) + " +" + std::to_string(asked) +
                                " refused");
        return outcome;
    }
    // A read running past the block's end gets the part that exists.
    const std::size_t count = std::min(asked, ConfigBlockSize - offset);
    std::vector<std::uint8_t> reply;
    reply.reserve(MemoryReadRequestSize + count);
    AppendBE32(reply, address);
    AppendBE16(reply, static_cast<std::uint32_t>(count));
    reply.insert(reply.end(), status.block.begin() + offset, status.block.begin() + offset + count);
    outcome.replies.push_back(Reply(static_cast<std::uint8_t>(MessageCode::MemoryRead), reply));
    outcome.notes.push_back("memory read " + Hex(address) + " +" + std::to_string(count));
    return outcome;
}

DeviceModel::Outcome DeviceModel::HandlePackage(std::uint8_t kind,
                                                std::span<const std::uint8_t> payload) {
    ++status.packagesReceived;
    Outcome outcome;
    if (payload.size() < PackageHeaderSize) {
        outcome.replies.push_back(NackFrame());
        outcome.notes.push_back("package without its header refused");
        return outcome;
    }
    const std::uint16_t id = ReadBE16(&payload[0]);
    const std::uint16_t index = ReadBE16(&payload[2]);
    const std::uint16_t count = ReadBE16(&payload[4]);
    const auto data = payload.subspan(PackageHeaderSize);
    const bool last = index == count;
    const bool sizeFits =
        last ? data.size() == TrailerSize : (!data.empty() && data.size() <= PackageDataSize);
    if (index == 0 || index > count || !sizeFits) {
        outcome.replies.push_back(NackFrame());
        outcome.notes.push_back("malformed package " + std::to_string(index) + "/" +
                                std::to_string(count) + " refused");
        return outcome;
    }
    if (transfer.kind != kind || transfer.id != id || transfer.count != count) {
        transfer = {kind, id, count, std::vector<std::vector<std::uint8_t>>(count),
                    std::vector<bool>(count, false)};
    }
    if (transfer.arrived[index - 1]) {
        ++status.resendsSeen;
    }
    transfer.arrived[index - 1] = true;
    transfer.packages[index - 1].assign(data.begin(), data.end());
    if (last) {
        return FinishTransfer(kind, index, data);
    }
    outcome.replies.push_back(AckFrame(index));
    return outcome;
}

DeviceModel::Outcome DeviceModel::FinishTransfer(std::uint8_t kind, std::uint16_t index,
                                                 std::span<const std::uint8_t> trailer) {
    Outcome outcome;
    std::vector<std::uint8_t> image;
    bool whole = true;
    const std::size_t dataPackages = transfer.count - 1u;
    for (std::size_t i = 0; i < dataPackages && whole; ++i) {
        const auto& package = transfer.packages[i];
        // Every data package but the last is full; a missing one leaves a gap.
        whole = !package.empty() && (i + 1 == dataPackages || package.size() == PackageDataSize);
        image.insert(image.end(), package.begin(), package.end());
    }
    const Trailer expected = TransferTrailer(image);
    const bool trailerGood = whole && std::equal(expected.begin(), expected.end(), trailer.begin());
    const bool isConfig = kind == static_cast<std::uint8_t>(MessageCode::ConfigPackage);
    const std::size_t wantedSize = isConfig ? ConfigBlockSize : FirmwareImageSize;
    if (!trailerGood || image.size() != wantedSize) {
        ++status.imagesRejected;
        outcome.replies.push_back(NackFrame());
        outcome.notes.push_back(std::string(isConfig ? "configuration" : "firmware") +
                                " rejected: " +
                                (!whole         ? "packages missing"
                                 : !trailerGood ? "check value does not match"
                                                : std::to_string(image.size()) + " bytes"));
        return outcome;
    }
    outcome.replies.push_back(AckFrame(index));
    if (isConfig) {
        std::copy(image.begin(), image.end(), status.block.begin());
        ++status.configsStored;
        outcome.notes.push_back("configuration stored");
    } else {
        ++status.firmwareAccepted;
        status.firmwareDigest = ImageDigest(image);
        status.restarting = true;
        outcome.restart = true;
        outcome.notes.push_back("firmware accepted, restarting");
    }
    // The transfer stays known: a resent last package (its acknowledgement lost)
    // gets the same answer again.
    return outcome;
}

}  // namespace vyx::sim
