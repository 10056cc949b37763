#include "SimBlocks.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vyx::sim {
namespace {

// Record bytes (marker, length, format, 23 fields, 24-bit sum) of the factory
// defaults and of the Calvera preset; everything after them is FF.
constexpr std::array<std::uint8_t, 39> DefaultRecord = {
    0xCA, 0xFE, 0xF0, 0xDA, 0x00, 0x1E, 0x01, 0x02, 0x00, 0xB4, 0x04, 0x80, 0x00,
    0xC0, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B, 0x78, 0x05, 0x0B, 0x5A, 0x05, 0x0B, 0x11,
    0x94, 0x05, 0x0B, 0x06, 0x07, 0x0B, 0x28, 0x03, 0x84, 0x05, 0x00, 0x08, 0x55};
constexpr std::array<std::uint8_t, 39> PresetRecord = {
    0xCA, 0xFE, 0xF0, 0xDA, 0x00, 0x1E, 0x01, 0x02, 0x00, 0x3C, 0x04, 0x80, 0x00,
    0xC0, 0x0B, 0x0B, 0x01, 0x01, 0x03, 0x64, 0x0A, 0x03, 0x50, 0x0A, 0x03, 0x11,
    0x94, 0x05, 0x03, 0x01, 0x07, 0x03, 0x28, 0x03, 0x84, 0x05, 0x00, 0x07, 0x88};

// The low byte of PING in the corrupt block: 181 s instead of 180 s, so the
// stored sum no longer matches.
constexpr std::size_t CorruptOffset = 9;
constexpr std::uint8_t CorruptValue = 0xB5;

}  // namespace

ConfigBlock MakeBlock(BlockKind kind) {
    ConfigBlock block;
    block.fill(0xFF);
    switch (kind) {
        case BlockKind::Defaults:
        case BlockKind::Corrupt:
            std::copy(DefaultRecord.begin(), DefaultRecord.end(), block.begin());
            break;
        case BlockKind::Preset:
            std::copy(PresetRecord.begin(), PresetRecord.end(), block.begin());
            break;
        case BlockKind::Blank:
            break;
    }
    if (kind == BlockKind::Corrupt) {
        block[CorruptOffset] = CorruptValue;
    }
    return block;
}

Trailer TransferTrailer(std::span<const std::uint8_t> image) {
    std::uint8_t xorValue = 0;
    std::uint32_t sum = 0;
    for (const std::uint8_t b : image) {
        xorValue ^= b;
        sum += b;
    }
    return {xorValue, static_cast<std::uint8_t>(sum >> 24), static_cast<std::uint8_t>(sum >> 16),
            static_cast<std::uint8_t>(sum >> 8), static_cast<std::uint8_t>(sum)};
}

bool LoadBlockFile(const std::string& path, ConfigBlock& block, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read configuration file " + path + ": " + std::strerror(errno);
        return false;
    }
    // Read one byte more than a block so that a longer file is recognised.
    std::vector<char> bytes(ConfigBlockSize + 1);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const auto count = static_cast<std::size_t>(file.gcount());
    if (file.bad()) {
        error = "cannot read configuration file " + path;
        return false;
    }
    if (count != ConfigBlockSize) {
        error = "configuration file " + path + " must hold exactly 2032 bytes, it holds " +
                (count > ConfigBlockSize ? std::string("more") : std::to_string(count));
        return false;
    }
    std::transform(bytes.begin(), bytes.begin() + ConfigBlockSize, block.begin(),
                   [](char c) { return static_cast<std::uint8_t>(c); });
    return true;
}

std::uint64_t ImageDigest(std::span<const std::uint8_t> image) {
    std::uint64_t digest = 0xCBF29CE484222325ULL;
    for (const std::uint8_t byte : image) {
        digest = (digest ^ byte) * 0x100000001B3ULL;
    }
    return digest;
}

}  // namespace vyx::sim
