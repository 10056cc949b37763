#include <gtest/gtest.h>

#include <vector>

#include "Frame.h"

namespace vyx {
namespace {

TEST(Frame, JumpCommandIsTheFixedEightBytes) {
    const std::vector<std::uint8_t> expected = {0xBC, 0x21, 0x05, 0x00, 0x00, 0x00, 0x00, 0xE2};
    EXPECT_EQ(EncodeFrame(MessageCode::Jump, {}), expected);
}

TEST(Frame, ChecksumCoversHeaderAndPayloadAsBigEndian24Bits) {
    std::vector<std::uint8_t> payload(1019, 0xFF);
    const auto frame = EncodeFrame(MessageCode::MemoryRead, payload);
    ASSERT_EQ(frame.size(), 1027u);
    const std::uint32_t sum = 0xBC + 0x21 + 0x07 + 0x03 + 0xFB + 1019 * 0xFF;
    EXPECT_EQ(ReadBE16(&frame[3]), 1019);
    EXPECT_EQ(ReadBE24(&frame[1024]), sum);
    EXPECT_EQ(FrameChecksum(frame.data(), 1024), sum);
}

TEST(Frame, DeviceFramesCarryTheirOwnAddressByte) {
    const std::uint8_t index[] = {0x00, 0x01};
    const auto frame = EncodeFrameFrom(DeviceToTool, 2, index);
    const std::vector<std::uint8_t> expected = {0xBC, 0x12, 0x02, 0x00, 0x02,
                                                0x00, 0x01, 0x00, 0x00, 0xD3};
    EXPECT_EQ(frame, expected);
}

}  // namespace
}  // namespace vyx
