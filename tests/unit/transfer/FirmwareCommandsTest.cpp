#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "DeviceFrames.h"
#include "FakeHost.h"
#include "FakeReceiveTarget.h"
#include "FirmwareCommands.h"
#include "FirmwareImage.h"
#include "PackageFrames.h"

namespace vyx {
namespace {

using Bytes = std::vector<std::uint8_t>;

class FirmwareCommandsTest : public ::testing::Test {
protected:
    void Identify(const DeviceVersion& version) {
        identification.ResetIdentityHandled();
        identification.HandleIdentity(test::IdentityPayload(1, {1, 2, 3}, version, 0));
    }

    test::FakeHost host;
    TransferProgress progress;
    test::FakeReceiveTarget target;
    DeviceIdentification identification{host, target};
    TransferEngine engine{host, host, progress, nullptr};
    FirmwareCommands commands{host, host, engine, identification};
};

TEST(FirmwareImage, TrailerIsTheImagesXorThenItsByteSum) {
    std::uint8_t x = 0;
    std::uint32_t sum = 0;
    for (std::uint8_t b : FirmwareImage) {
        x ^= b;
        sum += b;
    }
    const Bytes expected = {x, static_cast<std::uint8_t>(sum >> 24),
                            static_cast<std::uint8_t>(sum >> 16),
                            static_cast<std::uint8_t>(sum >> 8), static_cast<std::uint8_t>(sum)};
    EXPECT_EQ(Bytes(FirmwareTrailer.begin(), FirmwareTrailer.end()), expected);
}

TEST_F(FirmwareCommandsTest, UploadCutsTheImageInto1861PackagesEndingWithTheTrailer) {
    Identify({41, 0, 2, 10});
    ASSERT_TRUE(commands.B_FwTxClick());
    EXPECT_EQ(host.ProgressMax, 1861);

    const test::Package first = test::ReadPackage(host.Written.at(0));
    EXPECT_EQ(host.Written[0][2], 0x01);           // code = kind 1
    EXPECT_EQ(ReadBE16(&host.Written[0][3]), 54);  // payload length
    EXPECT_EQ(Bytes(host.Written[0].begin() + 7, host.Written[0].begin() + 11),
              (Bytes{0x00, 0x01, 0x07, 0x45}));  // index 1, count 1,861
    EXPECT_EQ(first.Data, Bytes(FirmwareImage.begin(), FirmwareImage.begin() + 48));

    while (host.TimerEnabled(TimerId::Timer1)) {
        engine.Acknowledge(test::AckPayload(test::ReadPackage(host.Written.back()).Index));
    }
    ASSERT_EQ(host.Written.size(), 1861u);
    EXPECT_EQ(test::ReadPackage(host.Written[1859]).Data,
              Bytes(FirmwareImage.begin() + 89232, FirmwareImage.end()));
    EXPECT_EQ(test::ReadPackage(host.Written[1860]).Data, (Bytes{0x21, 0x00, 0x75, 0xE2, 0x61}));
}

TEST_F(FirmwareCommandsTest, UploadStartsNothingForAnotherProductLineOrBeforeAnyIdentity) {
    EXPECT_FALSE(commands.B_FwTxClick());
    for (std::uint8_t line : {0, 1, 2, 5, 40, 42, 255}) {
        Identify({line, 0, 2, 10});
        EXPECT_FALSE(commands.B_FwTxClick()) << int{line};
    }
    EXPECT_TRUE(host.Written.empty());
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer1));
    EXPECT_EQ(engine.TxKind(), 0u);
}

TEST_F(FirmwareCommandsTest, JumpWritesTheFixedFrameOnlyWhileThePortIsOpen) {
    host.Open = false;
    commands.B_FwJumpClick();
    EXPECT_TRUE(host.Written.empty());
    EXPECT_TRUE(host.Messages.empty());
    host.Open = true;
    commands.B_FwJumpClick();
    ASSERT_EQ(host.Written.size(), 1u);
    EXPECT_EQ(host.Written[0], (Bytes{0xBC, 0x21, 0x05, 0x00, 0x00, 0x00, 0x00, 0xE2}));
    EXPECT_EQ(host.Pumps, 2);
}

}  // namespace
}  // namespace vyx
