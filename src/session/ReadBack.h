#pragma once
// Comparing the block read back after a write with the block written.

#include <string>

#include "ConfigImage.h"

namespace vyx {

/// The first profile key whose value differs between the two blocks, as
/// "speed.max_kmh: gravado 95, lido de volta 90"; a difference outside the values
/// is named by its offset in the block. Empty when the blocks are equal.
std::string FirstDifference(const ConfigImage& written, const ConfigImage& received);

}  // namespace vyx
