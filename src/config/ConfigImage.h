#pragma once
// The device's configuration block: 2,032 bytes, one layout for reading and
// writing. Header CA FE F0 DA, the counted length, two format bytes, the 23
// record fields (big-endian where wider than a byte), a 24-bit byte sum, FF fill.

#include <array>
#include <cstddef>
#include <cstdint>

namespace vyx {

inline constexpr std::size_t ConfigImageSize = 2032;
using ConfigImage = std::array<std::uint8_t, ConfigImageSize>;

inline constexpr std::array<std::uint8_t, 4> ConfigMarker = {0xCA, 0xFE, 0xF0, 0xDA};
/// Bytes from offset 6 up to the sum, as the tool writes them.
inline constexpr std::uint16_t ConfigRecordLength = 30;

/// Record values of the PING list, in list order (seconds).
inline constexpr std::array<std::uint16_t, 10> PingSeconds = {5,  10, 15,  30,  45,
                                                              60, 90, 120, 180, 300};
/// Record values of the RS232 lists, in list order (baud rate / 100).
inline constexpr std::array<std::uint16_t, 4> BaudCodes = {96, 192, 576, 1152};

/// The 23 record fields from PING to TBGL, as numbers.
struct ConfigValues {
    std::uint16_t Ping = 0;  // a PingSeconds entry
    std::uint16_t A232 = 0;  // a BaudCodes entry
    std::uint16_t B232 = 0;  // a BaudCodes entry
    std::uint8_t Acp = 0;
    std::uint8_t Acn = 0;
    std::uint8_t AcpAction = 0;
    std::uint8_t AcnAction = 0;
    std::uint8_t VmxAction = 0;
    std::uint8_t Vmx = 0;
    std::uint8_t Tvmx = 0;
    std::uint8_t VchAction = 0;
    std::uint8_t Vch = 0;
    std::uint8_t Tvch = 0;
    std::uint8_t RpxAction = 0;
    std::uint16_t Rpx = 0;
    std::uint8_t Trpx = 0;
    std::uint8_t OscAction = 0;
    std::uint8_t Tosc = 0;
    std::uint8_t Xosc = 0;
    std::uint8_t BglAction = 0;
    std::uint8_t Vbgl = 0;
    std::uint16_t Rbgl = 0;
    std::uint8_t Tbgl = 0;
    bool operator==(const ConfigValues&) const = default;
};

/// The record values of the Calvera preset. A block read while "Forçar
/// configuração Calvera" is ticked must hold exactly these.
inline constexpr ConfigValues CalveraReference = {
    .Ping = 60,
    .A232 = 1152,
    .B232 = 192,
    .Acp = 11,
    .Acn = 11,
    .AcpAction = 1,
    .AcnAction = 1,
    .VmxAction = 3,
    .Vmx = 100,
    .Tvmx = 10,
    .VchAction = 3,
    .Vch = 80,
    .Tvch = 10,
    .RpxAction = 3,
    .Rpx = 4500,
    .Trpx = 5,
    .OscAction = 3,
    .Tosc = 1,
    .Xosc = 7,
    .BglAction = 3,
    .Vbgl = 40,
    .Rbgl = 900,
    .Tbgl = 5,
};

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
