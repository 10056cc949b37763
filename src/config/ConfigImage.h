#pragma once
// The device's configuration block: 2,032 bytes, one layout for reading and
// writing. Header CA FE F0 DA, the counted length, two format bytes, the 23
// record fields laid out by RecordLayout, a 24-bit byte sum, FF fill.

#include <array>
#include <cstddef>
#include <cstdint>

#include "RecordLayout.h"

namespace vyx {

inline constexpr std::size_t ConfigImageSize = 2032;
using ConfigImage = std::array<std::uint8_t, ConfigImageSize>;

inline constexpr std::array<std::uint8_t, 4> ConfigMarker = {0xCA, 0xFE, 0xF0, 0xDA};
/// Bytes from offset 6 up to the sum, as the tool writes them.
inline constexpr std::uint16_t ConfigRecordLength = RecordSumOffset - 6;

/// The 23 record fields from PING to TBGL, as numbers, indexed by RecordField.
struct ConfigValues {
    std::array<std::uint16_t, RecordFieldCount> Fields{};

    constexpr std::uint16_t& operator[](RecordField field) {
        return Fields[static_cast<std::size_t>(field)];
    }
    constexpr std::uint16_t operator[](RecordField field) const {
        return Fields[static_cast<std::size_t>(field)];
    }
    bool operator==(const ConfigValues&) const = default;
};

/// The record values of the Calvera preset. A block read while "Forçar
/// configuração Calvera" is ticked must hold exactly these.
inline constexpr ConfigValues CalveraReference = [] {
    ConfigValues values;
    for (const RecordEntry& row : RecordLayout) {
        values[row.Field] = row.Calvera;
    }
    return values;
}();

/// The five check values that travel with a written block: the XOR of all
/// 2,032 bytes, then their 32-bit sum, big-endian.
using ConfigCheckValues = std::array<std::uint8_t, 5>;

struct EncodedConfig {
    ConfigImage Image{};
    ConfigCheckValues CheckValues{};
};

/// Builds the block for `values` (header, fields, sum, fill) and its check values.
EncodedConfig EncodeConfigImage(const ConfigValues& values);

/// XOR and 32-bit sum of a whole block, as sent after it.
ConfigCheckValues ComputeCheckValues(const ConfigImage& image);

}  // namespace vyx
