// The simulated device over a real pseudo-terminal, driven the way the tool
// drives a port: open it raw, read what the device announces, speak frames.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "Frame.h"
#include "SimDevice.h"
#include "ToolEnd.h"

namespace vyx::sim::test {
namespace {

constexpr std::uint32_t Base = 0x0803F000;
// The factory defaults' check value as the tool computes it for a write.
constexpr Trailer DefaultsCheckValue = {0x53, 0x00, 0x07, 0xC9, 0xE9};

std::span<const std::uint8_t> Payload(const Bytes& frame) {
    return std::span(frame).subspan(FrameHeaderSize, ReadBE16(&frame[3]));
}

class SimDeviceTest : public ::testing::Test {
protected:
    SimOptions Options() const {
        SimOptions options;
        options.portFolder = folder.Path();
        options.configBase = Base;
        options.announceDelay = 0ms;
        options.announceInterval = 40ms;
        options.restartPause = 20ms;
        return options;
    }
    SimDevice& Start(SimOptions options) {
        device = std::make_unique<SimDevice>(std::move(options));
        device->Start();
        return *device;
    }
    // Opens the port and takes the first announcement, so the device is ready.
    std::unique_ptr<ToolEnd> Connect() {
        auto tool = std::make_unique<ToolEnd>(device->LinkPath());
        const auto first = tool->Next();
        EXPECT_TRUE(first && (*first)[2] == IdentityCode);
        return tool;
    }

    TempFolder folder;
    std::unique_ptr<SimDevice> device;
};

TEST_F(SimDeviceTest, PublishesItsPortInTheFolderUntilStopped) {
    SimDevice& sim = Start(Options());
    EXPECT_EQ(sim.LinkPath(), folder.Path() + "/vyx-sim");
    EXPECT_EQ(std::filesystem::read_symlink(sim.LinkPath()).string(), sim.SlavePath());
    sim.Stop();
    EXPECT_FALSE(std::filesystem::is_symlink(folder.Path() + "/vyx-sim"));
}

TEST_F(SimDeviceTest, RefusesAFolderOthersCanWriteTo) {
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0777), 0);
    SimDevice sim(Options());
    EXPECT_THROW(sim.Start(), std::runtime_error);
}

TEST_F(SimDeviceTest, AnnouncesAfterOpenAndRepeatsUntilSpokenTo) {
    SimDevice& sim = Start(Options());
    EXPECT_EQ(sim.Status().announcements, 0u);
    ToolEnd tool(sim.LinkPath());
    for (int i = 0; i < 3; ++i) {
        const auto frame = tool.Next();
        ASSERT_TRUE(frame);
        EXPECT_EQ((*frame)[1], DeviceToTool);
        EXPECT_EQ((*frame)[2], IdentityCode);
    }
    tool.Send(JumpCode, {});
    ASSERT_TRUE(sim.WaitFor([](const SimStatus& s) { return s.jumps == 1 && s.spokenTo; }, 5s));
    const auto announced = sim.Status().announcements;
    while (tool.Next(150ms)) {  // those already on their way
    }
    EXPECT_EQ(sim.Status().announcements, announced);
}

TEST_F(SimDeviceTest, AnnouncesAgainEachTimeThePortIsReopened) {
    SimDevice& sim = Start(Options());
    for (std::uint32_t round = 1; round <= 2; ++round) {
        auto tool = Connect();
        tool->Send(JumpCode, {});
        ASSERT_TRUE(sim.WaitFor([](const SimStatus& s) { return s.spokenTo; }, 5s));
        tool.reset();
        ASSERT_TRUE(sim.WaitFor([](const SimStatus& s) { return !s.portOpen; }, 5s));
        EXPECT_EQ(sim.Status().opens, round);
    }
}

struct IdentityCase {
    const char* name;
    bool operatingMode;
    bool operatingFrame;
    std::uint8_t code;
    std::uint8_t modeByte;
};

void PrintTo(const IdentityCase& c, std::ostream* out) {
    *out << c.name;
}

class SimIdentityTest : public SimDeviceTest, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(SimIdentityTest, AnnouncementCarriesTheChosenIdentity) {
    SimOptions options = Options();
    options.version = {3, 0, 2, 38};
    options.id = {0x00000003, 0x00000002, 0x00000001};  // shown as 00000003 00000002 00000001
    options.configBase = 0x00001000;
    options.operatingMode = GetParam().operatingMode;
    options.operatingFrame = GetParam().operatingFrame;
    Start(options);
    ToolEnd tool(device->LinkPath());
    const auto frame = tool.Next();
    ASSERT_TRUE(frame);
    ASSERT_EQ((*frame)[2], GetParam().code);
    if (GetParam().code != IdentityCode) {
        return;
    }
    const auto payload = Payload(*frame);
    ASSERT_EQ(payload.size(), 45u);
    EXPECT_EQ(payload[0], GetParam().modeByte);
    // Words 2, 1, 0 in that order, then texts A and B, version, base.
    EXPECT_EQ(ReadBE32(&payload[1]), 1u);
    EXPECT_EQ(ReadBE32(&payload[5]), 2u);
    EXPECT_EQ(ReadBE32(&payload[9]), 3u);
    EXPECT_EQ(Bytes(payload.begin() + 37, payload.begin() + 41), (Bytes{3, 0, 2, 38}));
    EXPECT_EQ(ReadBE32(&payload[41]), 0x00001000u);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SimIdentityTest,
    ::testing::Values(IdentityCase{"Service", false, false, IdentityCode, 1},
                      IdentityCase{"Operating", true, false, IdentityCode, 0},
                      IdentityCase{"OperatingFrame", false, true,
                                   static_cast<std::uint8_t>(MessageCode::OperatingMode), 0}),
    [](const auto& info) { return info.param.name; });

TEST_F(SimDeviceTest, FiveReadsReturnTheWholeBlockAtTheConfigurationBase) {
    Start(Options());
    auto tool = Connect();
    Bytes block;
    for (std::uint32_t offset = 0; offset < ConfigBlockSize; offset += 500) {
        const auto count =
            static_cast<std::uint16_t>(std::min<std::size_t>(500, ConfigBlockSize - offset));
        const auto reply = tool->Read(Base + offset, count);
        ASSERT_TRUE(reply);
        const auto payload = Payload(*reply);
        ASSERT_EQ(payload.size(), 6u + count);
        EXPECT_EQ(ReadBE32(&payload[0]), Base + offset);
        EXPECT_EQ(ReadBE16(&payload[4]), count);
        block.insert(block.end(), payload.begin() + 6, payload.end());
    }
    const ConfigBlock defaults = MakeBlock(BlockKind::Defaults);
    EXPECT_EQ(block, Bytes(defaults.begin(), defaults.end()));
    EXPECT_EQ(device->Status().memoryReads, 5u);
}

TEST_F(SimDeviceTest, ConfigurationWithAGoodCheckValueIsStoredAndReadBack) {
    SimOptions options = Options();
    options.block = MakeBlock(BlockKind::Blank);
    Start(options);
    auto tool = Connect();
    const ConfigBlock defaults = MakeBlock(BlockKind::Defaults);
    EXPECT_EQ(tool->SendImage(ConfigCode, defaults, DefaultsCheckValue), AckCode);

    // A frame is recorded as written just after it reached the line, so the tool may
    // hold the last acknowledgement a moment before the device's own record has it.
    ASSERT_TRUE(device->WaitFor(
        [](const SimStatus& s) {
            return !s.framesWritten.empty() && ReadBE16(&Payload(s.framesWritten.back())[0]) == 44;
        },
        5s));
    const SimStatus status = device->Status();
    EXPECT_EQ(status.packagesReceived, 44u);
    EXPECT_EQ(status.configsStored, 1u);
    EXPECT_EQ(status.block, defaults);
    const auto last = status.framesWritten.back();
    EXPECT_EQ(ReadBE16(&Payload(last)[0]), 44u);  // the last package's index

    const auto reply = tool->Read(Base, 39);
    ASSERT_TRUE(reply);
    EXPECT_TRUE(std::equal(defaults.begin(), defaults.begin() + 39, Payload(*reply).begin() + 6));
}

TEST_F(SimDeviceTest, ConfigurationWithABadCheckValueIsRefusedAndTheOldBlockKept) {
    Start(Options());
    auto tool = Connect();
    Trailer wrong = DefaultsCheckValue;
    wrong[0] ^= 0x01;
    EXPECT_EQ(tool->SendImage(ConfigCode, MakeBlock(BlockKind::Preset), wrong), NackCode);
    const SimStatus status = device->Status();
    EXPECT_EQ(status.configsStored, 0u);
    EXPECT_EQ(status.imagesRejected, 1u);
    EXPECT_EQ(status.block, MakeBlock(BlockKind::Defaults));
}

TEST_F(SimDeviceTest, GoodFirmwareRestartsTheDeviceAtRelease239) {
    SimOptions options = Options();
    options.version = {3, 7, 2, 38};
    Start(options);
    auto tool = Connect();
    const Bytes image = MakeFirmwareImage();
    ASSERT_EQ(tool->SendImage(FirmwareCode, image, CheckValue(image)), AckCode);

    const auto announcement = tool->Next();
    ASSERT_TRUE(announcement);
    ASSERT_EQ((*announcement)[2], IdentityCode);
    const auto payload = Payload(*announcement);
    EXPECT_EQ(Bytes(payload.begin() + 37, payload.begin() + 41), (Bytes{3, 7, 2, 39}));
    const SimStatus status = device->Status();
    EXPECT_EQ(status.firmwareAccepted, 1u);
    EXPECT_EQ(status.packagesReceived, 1861u);
    EXPECT_EQ(status.resendsSeen, 0u);
}

TEST_F(SimDeviceTest, RepliesSplitIntoChunksArriveInPiecesWithGaps) {
    SimOptions options = Options();
    options.chunkSize = 16;
    options.chunkGap = 30ms;
    Start(options);
    ToolEnd tool(device->LinkPath());
    const auto frame = tool.Next();  // 53 bytes: four pieces, three gaps
    ASSERT_TRUE(frame);
    EXPECT_EQ((*frame)[2], IdentityCode);
    EXPECT_GE(tool.ReadSizes().size(), 2u);
    for (const std::size_t size : tool.ReadSizes()) {
        EXPECT_LE(size, 16u);
    }
    EXPECT_GE(tool.LastByte() - tool.FirstByte(), 80ms);
}

TEST_F(SimDeviceTest, HangsUpWhenTheChosenPackageArrives) {
    SimOptions options = Options();
    options.hangUpAfterPackage = 3;
    Start(options);
    auto tool = Connect();
    const ConfigBlock block = MakeBlock(BlockKind::Defaults);
    EXPECT_EQ(tool->SendImage(ConfigCode, block, DefaultsCheckValue), 0);
    EXPECT_TRUE(tool->HungUp());
    ASSERT_TRUE(device->WaitFor([](const SimStatus& s) { return s.hungUp; }, 5s));
    EXPECT_EQ(device->Status().packagesReceived, 2u);
    EXPECT_FALSE(std::filesystem::is_symlink(device->LinkPath()));
}

TEST_F(SimDeviceTest, ReplyDelayHoldsEveryReplyBack) {
    SimOptions options = Options();
    options.replyDelay = 120ms;
    Start(options);
    auto tool = Connect();
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_TRUE(tool->Read(Base, 4));
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 120ms);
}

}  // namespace
}  // namespace vyx::sim::test
