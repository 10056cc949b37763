#include <gtest/gtest.h>

#include <vector>

#include "DeviceFrames.h"
#include "FrameCheck.h"

namespace vyx {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes WithPayloadOf(std::size_t n) {
    return test::DeviceFrame(static_cast<MessageCode>(9), Bytes(n, 0x5A));
}

Bytes Corrupted(Bytes frame, std::size_t at) {
    frame[at] ^= 0x01;
    return frame;
}

Bytes Truncated(Bytes frame, std::size_t drop) {
    frame.resize(frame.size() - drop);
    return frame;
}

Bytes Appended(Bytes frame, Bytes tail) {
    frame.insert(frame.end(), tail.begin(), tail.end());
    return frame;
}

struct VerdictCase {
    const char* Name;
    Bytes Input;
    FrameVerdict Verdict;
    std::size_t Surplus = 0;
};

TEST(FrameCheck, VerdictsInTheirFixedOrder) {
    const Bytes jump = {0xBC, 0x21, 0x05, 0x00, 0x00, 0x00, 0x00, 0xE2};
    Bytes longLength = WithPayloadOf(3);
    longLength[3] = 0x03;  // claims 1020 bytes, sum no longer matters
    longLength[4] = 0xFC;
    const std::vector<VerdictCase> cases = {
        {"empty", {}, FrameVerdict::TooShort},
        {"seven bytes starting well", {0xBC, 0x12, 0x02, 0, 0, 0, 0}, FrameVerdict::TooShort},
        {"wrong start byte", Bytes(8, 0x00), FrameVerdict::BadStart},
        {"length above the limit", longLength, FrameVerdict::Oversized},
        {"largest payload accepted", WithPayloadOf(1019), FrameVerdict::Frame},
        {"declared longer than read", Truncated(WithPayloadOf(20), 1), FrameVerdict::Incomplete},
        {"checksum byte off", Corrupted(WithPayloadOf(4), 11), FrameVerdict::BadChecksum},
        {"payload byte off", Corrupted(WithPayloadOf(4), 6), FrameVerdict::BadChecksum},
        {"our own jump command echoed", jump, FrameVerdict::WrongReceiver},
        {"empty payload", WithPayloadOf(0), FrameVerdict::Frame},
        {"two stray bytes behind", Appended(WithPayloadOf(2), {1, 2}), FrameVerdict::Frame, 2},
    };
    for (const auto& c : cases) {
        const FrameCheck check = CheckFrame(c.Input.data(), c.Input.size());
        EXPECT_EQ(check.Verdict, c.Verdict) << c.Name;
        EXPECT_EQ(check.Surplus, c.Surplus) << c.Name;
    }
}

TEST(FrameCheck, PayloadOf1020IsRefusedEvenWithItsRightSum) {
    Bytes big = WithPayloadOf(1020);
    EXPECT_EQ(CheckFrame(big.data(), big.size()).Verdict, FrameVerdict::Oversized);
}

TEST(FrameCheck, PlainSumMissesSwappedPayloadBytes) {
    Bytes frame = test::DeviceFrame(MessageCode::Ack, {0x01, 0x02});
    std::swap(frame[5], frame[6]);
    const FrameCheck check = CheckFrame(frame.data(), frame.size());
    ASSERT_EQ(check.Verdict, FrameVerdict::Frame);
    EXPECT_EQ(check.Payload[0], 0x02);
}

TEST(FrameCheck, FrameCarriesAddressCodeAndPayloadInPlace) {
    const Bytes frame = test::DeviceFrame(MessageCode::MemoryRead, {9, 8, 7});
    const FrameCheck check = CheckFrame(frame.data(), frame.size());
    ASSERT_EQ(check.Verdict, FrameVerdict::Frame);
    EXPECT_EQ(check.Address, 0x12);
    EXPECT_EQ(check.Code, 7);
    ASSERT_EQ(check.Payload.size(), 3u);
    EXPECT_EQ(check.Payload.data(), frame.data() + 5);
}

TEST(IsFrameComplete, WaitsOnlyForTheRestOfAFrameThatStartedWell) {
    const Bytes frame = WithPayloadOf(40);
    Bytes longLength = frame;
    longLength[3] = 0x04;
    struct Case {
        const char* Name;
        Bytes Input;
        bool Complete;
    };
    const std::vector<Case> cases = {
        {"nothing yet", {}, false},
        {"start byte only", {0xBC}, false},
        {"header without length", {0xBC, 0x12, 0x02, 0x00}, false},
        {"first USB chunk", Truncated(frame, 20), false},
        {"one byte short", Truncated(frame, 1), false},
        {"whole frame", frame, true},
        {"frame and more", Appended(frame, {0xBC}), true},
        {"never a frame: wrong start", {0x00, 0xBC}, true},
        {"never a frame: length too big", Truncated(longLength, 30), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsFrameComplete(c.Input.data(), c.Input.size()), c.Complete) << c.Name;
    }
}

}  // namespace
}  // namespace vyx
