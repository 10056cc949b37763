#include "ConfigImage.h"

#include <algorithm>
#include <vector>

#include "Frame.h"

namespace vyx {

namespace {
constexpr std::uint8_t FormatByte1 = 0x01;
constexpr std::uint8_t FormatByte2 = 0x02;
}  // namespace

EncodedConfig EncodeConfigImage(const ConfigValues& values) {
    std::vector<std::uint8_t> record(ConfigMarker.begin(), ConfigMarker.end());
    record.reserve(RecordSumOffset + 3);
    AppendBE16(record, ConfigRecordLength);
    record.push_back(FormatByte1);
    record.push_back(FormatByte2);
    for (const RecordEntry& row : RecordLayout) {
        const std::uint16_t value = values[row.Field];
        if (row.Width == 2) {
            AppendBE16(record, value);
        } else {
            record.push_back(static_cast<std::uint8_t>(value));
        }
    }

    const std::uint32_t sum = FrameChecksum(record.data(), record.size());
    record.push_back(static_cast<std::uint8_t>(sum >> 16));
    record.push_back(static_cast<std::uint8_t>(sum >> 8));
    record.push_back(static_cast<std::uint8_t>(sum));

    EncodedConfig out;
    out.Image.fill(0xFF);
    std::copy(record.begin(), record.end(), out.Image.begin());
    out.CheckValues = ComputeCheckValues(out.Image);
    return out;
}

ConfigCheckValues ComputeCheckValues(const ConfigImage& image) {
    std::uint8_t x = 0;
    for (const std::uint8_t b : image) {
        x ^= b;
    }
    const std::uint32_t sum = FrameChecksum(image.data(), image.size());
    return {x, static_cast<std::uint8_t>(sum >> 24), static_cast<std::uint8_t>(sum >> 16),
            static_cast<std::uint8_t>(sum >> 8), static_cast<std::uint8_t>(sum)};
}

}  // namespace vyx
