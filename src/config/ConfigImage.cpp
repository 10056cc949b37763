#include "ConfigImage.h"

#include <algorithm>
#include <vector>

#include "Frame.h"

namespace vyx {

namespace {
constexpr std::size_t SumOffset = 36;
constexpr std::uint8_t FormatByte1 = 0x01;
constexpr std::uint8_t FormatByte2 = 0x02;
}  // namespace

EncodedConfig EncodeConfigImage(const ConfigValues& v) {
    std::vector<std::uint8_t> record(ConfigMarker.begin(), ConfigMarker.end());
    record.reserve(SumOffset + 3);
    AppendBE16(record, ConfigRecordLength);
    record.push_back(FormatByte1);
    record.push_back(FormatByte2);
    AppendBE16(record, v.Ping);
    AppendBE16(record, v.A232);
    AppendBE16(record, v.B232);
    record.insert(record.end(), {v.Acp, v.Acn, v.AcpAction, v.AcnAction});
    record.insert(record.end(), {v.VmxAction, v.Vmx, v.Tvmx});
    record.insert(record.end(), {v.VchAction, v.Vch, v.Tvch});
    record.push_back(v.RpxAction);
    AppendBE16(record, v.Rpx);
    record.push_back(v.Trpx);
    record.insert(record.end(), {v.OscAction, v.Tosc, v.Xosc});
    record.insert(record.end(), {v.BglAction, v.Vbgl});
    AppendBE16(record, v.Rbgl);
    record.push_back(v.Tbgl);

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
