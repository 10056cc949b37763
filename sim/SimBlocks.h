#pragma once
// The simulated device's memory contents: its configuration block in the four
// shapes a test or a person may want, and the check value the device verifies at
// the end of every package transfer. Kept apart from the tool's own codecs on
// purpose: the simulator is the independent party the tool is checked against.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vyx::sim {

inline constexpr std::size_t ConfigBlockSize = 2032;
inline constexpr std::size_t FirmwareImageSize = 89268;
inline constexpr std::size_t TrailerSize = 5;

using ConfigBlock = std::array<std::uint8_t, ConfigBlockSize>;
using Trailer = std::array<std::uint8_t, TrailerSize>;

/// The contents the device can start with.
enum class BlockKind {
    Defaults,  ///< the factory defaults
    Preset,    ///< the Calvera customer preset
    Corrupt,   ///< the defaults with one byte changed, so the block sum fails
    Blank,     ///< erased memory: every byte FF
};

/// The block of the given kind: its record bytes, then FF up to 2,032 bytes.
ConfigBlock MakeBlock(BlockKind kind);

/// Check value of a transferred image: XOR of all bytes, then the 32-bit byte sum
/// (big-endian).
Trailer TransferTrailer(std::span<const std::uint8_t> image);

/// 64-bit FNV-1a of an image: tells apart images that differ in any byte.
std::uint64_t ImageDigest(std::span<const std::uint8_t> image);

/// Reads a 2,032-byte block from a file. On failure returns false and puts a
/// sentence naming the file and the cause into `error`.
bool LoadBlockFile(const std::string& path, ConfigBlock& block, std::string& error);

}  // namespace vyx::sim
