// The demo device on the page's clock: when it speaks, what it answers, and what
// closing the port or a hang-up does to what was on its way.

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "DemoDevice.h"
#include "Frame.h"

namespace vyx::web {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = DemoDevice::Clock;

const Clock::time_point T0 = Clock::time_point(1h);
constexpr std::uint8_t IdentityCode = static_cast<std::uint8_t>(MessageCode::Identity);
constexpr std::uint8_t ReadCode = static_cast<std::uint8_t>(MessageCode::MemoryRead);

Bytes ReadRequest(std::uint32_t address, std::uint16_t count) {
    Bytes payload;
    AppendBE32(payload, address);
    AppendBE16(payload, count);
    return EncodeFrame(MessageCode::MemoryRead, payload);
}

Bytes Joined(const std::vector<Bytes>& chunks) {
    Bytes all;
    for (const Bytes& chunk : chunks) {
        all.insert(all.end(), chunk.begin(), chunk.end());
    }
    return all;
}

TEST(DemoDevice, AnnouncesAfterOpeningAndAgainUntilSpokenTo) {
    DemoDevice device(DemoOptions({}));
    EXPECT_FALSE(device.NextDue());  // closed: nothing to do
    device.Opened(T0);
    ASSERT_EQ(device.NextDue(), T0 + 20ms);
    EXPECT_TRUE(device.Due(T0 + 19ms).empty());
    const auto first = device.Due(T0 + 20ms);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0][2], IdentityCode);
    EXPECT_EQ(device.NextDue(), T0 + 520ms);
    EXPECT_EQ(device.Due(T0 + 520ms).size(), 1u);

    device.Receive(ReadRequest(0x0803F000, 16), T0 + 600ms);
    const auto reply = device.Due(T0 + 600ms);
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0][2], ReadCode);
    EXPECT_FALSE(device.NextDue());  // spoken to: silent until asked
    EXPECT_EQ(device.Status().announcements, 2u);
}

struct ChoiceCase {
    const char* name;
    DemoChoices choices;
    std::uint8_t mode;   // identity mode: 0 still in operating mode
    std::uint8_t minor;  // release announced
};

class DemoDeviceChoices : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(DemoDeviceChoices, AnnounceWhatWasChosen) {
    DemoDevice device(DemoOptions(GetParam().choices));
    device.Opened(T0);
    const auto chunks = device.Due(T0 + 20ms);
    ASSERT_EQ(chunks.size(), 1u);
    const Bytes& frame = chunks[0];
    ASSERT_EQ(frame[2], IdentityCode);
    EXPECT_EQ(frame[FrameHeaderSize], GetParam().mode);
    // The release minor ends the version, before the 4-byte configuration base.
    EXPECT_EQ(frame[frame.size() - FrameChecksumSize - 4 - 1], GetParam().minor);
}

INSTANTIATE_TEST_SUITE_P(Cases, DemoDeviceChoices,
                         ::testing::Values(ChoiceCase{"Current", {}, 1, 39},
                                           ChoiceCase{"Old", {.oldRelease = true}, 1, 38},
                                           ChoiceCase{
                                               "OperatingMode", {.operatingMode = true}, 0, 39}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DemoDevice, RepliesComeInChunksOfTheChosenSize) {
    DemoDevice device(DemoOptions({.chunkSize = 64}));
    device.Opened(T0);
    device.Receive(ReadRequest(0x0803F000, 400), T0);
    const auto chunks = device.Due(T0);
    ASSERT_GT(chunks.size(), 1u);
    for (std::size_t i = 0; i + 1 < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].size(), 64u);
    }
    const Bytes reply = Joined(chunks);
    EXPECT_EQ(reply[0], FrameStart);
    EXPECT_EQ(reply[2], ReadCode);
    EXPECT_EQ(reply.size(), FrameOverhead + 6 + 400u);
}

TEST(DemoDevice, ClosingDropsWhatWasOnItsWayAndReopeningAnnouncesAgain) {
    DemoDevice device(DemoOptions({}));
    device.Opened(T0);
    device.Receive(ReadRequest(0x0803F000, 16), T0 + 1ms);
    device.Closed();
    EXPECT_TRUE(device.Due(T0 + 1s).empty());
    device.Receive(ReadRequest(0x0803F000, 16), T0 + 1s);  // nobody listens
    EXPECT_EQ(device.Status().memoryReads, 1u);
    device.Opened(T0 + 2s);
    const auto chunks = device.Due(T0 + 2s + 20ms);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0][2], IdentityCode);
}

TEST(DemoDevice, AHangUpEndsTheConnectionAndComesOnce) {
    DemoDevice device(DemoOptions({.hangUpAfterPackage = 1}));
    device.Opened(T0);
    Bytes payload(8, 0);
    payload[3] = 1;  // package 1
    payload[5] = 1;  // of 1
    const Bytes package = EncodeFrame(MessageCode::ConfigPackage, payload);
    device.Receive(package, T0);
    EXPECT_TRUE(device.HungUp());
    EXPECT_EQ(device.NextDue(), T0);  // one look, to find the device gone
    EXPECT_TRUE(device.Due(T0 + 1s).empty());
    EXPECT_FALSE(device.NextDue());

    // Plugged back in: it announces again and takes the same package this time.
    device.Opened(T0 + 2s);
    EXPECT_FALSE(device.HungUp());
    ASSERT_EQ(device.Due(T0 + 2s + 20ms).size(), 1u);
    device.Receive(package, T0 + 3s);
    EXPECT_FALSE(device.HungUp());
    EXPECT_EQ(device.Due(T0 + 3s).size(), 1u);  // its answer
}

}  // namespace
}  // namespace vyx::web
