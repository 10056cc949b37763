#pragma once
// The firmware image the tool uploads to product lines 3, 4 and 41, with the
// fixed trailer that accompanies it. Both are opaque: sent byte for byte as built.

#include <array>
#include <cstddef>
#include <cstdint>

namespace vyx {

inline constexpr std::size_t FirmwareImageSize = 89268;
inline constexpr std::size_t FirmwareTrailerSize = 5;

/// The image, embedded at build time (the placeholder unless the build names a real one).
extern const std::array<std::uint8_t, FirmwareImageSize> FirmwareImage;
/// Its check value as the device expects it after the last image byte.
extern const std::array<std::uint8_t, FirmwareTrailerSize> FirmwareTrailer;

}  // namespace vyx
