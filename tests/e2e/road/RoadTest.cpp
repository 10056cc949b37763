// The road of a connection, without widgets: the real serial layer, the device
// session and the headless window stand-in, against the simulated device on a
// pseudo-terminal. Every road must go without a resend and without a receive fault.

#include <gtest/gtest.h>

#include <algorithm>

#include "BlockRecord.h"
#include "EditorPresets.h"
#include "RoadRig.h"
#include "SimBlocks.h"

namespace vyx::test {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t WholeFrames = 0;
constexpr std::size_t UsbChunks = 64;
constexpr std::uint64_t FirmwarePackages = 1861;
constexpr std::uint64_t ConfigPackages = 44;
constexpr std::uint64_t ReadRequests = 5;

sim::SimOptions Chunked(sim::SimOptions options, std::size_t chunkSize) {
    options.chunkSize = chunkSize;
    options.chunkGap = 1ms;
    return options;
}

void ExpectCleanRoad(const RoadRig& rig) {
    const sim::SimStatus device = rig.Device();
    const TransferProgress& p = rig.session.Progress();
    EXPECT_EQ(device.resendsSeen, 0u);
    EXPECT_EQ(rig.ReceiveFaults(), 0) << "Nacks " << p.Nacks << " Code10 " << p.Code10 << " Code15 "
                                      << p.Code15 << " Code20 " << p.Code20;
    EXPECT_TRUE(rig.host.Messages.empty());
    EXPECT_TRUE(rig.host.Errors.empty());
}

// Replies whole, or cut into 64-byte pieces 1 ms apart as a USB device delivers them.
class Road : public ::testing::TestWithParam<std::size_t> {};

TEST_P(Road, UpToDateDeviceIsReadThenStoresTheEditedBlock) {
    RoadRig rig(Chunked(RoadDevice({4, 0, 2, 39}), GetParam()));
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.RunUntilLogged(ReadDoneText, 5s))
        << ::testing::PrintToString(rig.host.LogTexts());

    const std::vector<std::string> road = {
        "Conexão aberta...", "Vyx v4.0.2.39\r\nId: 00A1B2C3 00000039 56595800",
        UpToDateText,        ReadingText,
        ReadDoneText,
    };
    EXPECT_EQ(rig.host.LogTexts(), road);
    EXPECT_EQ(rig.Device().memoryReads, ReadRequests);
    EXPECT_EQ(rig.host.Editor, DefaultsSnapshot());
    EXPECT_TRUE(rig.host.ConfigButtonEnabled);
    ExpectCleanRoad(rig);

    rig.host.Editor.Text(EditorField::Vmx) = "95";
    rig.host.Editor.Text(EditorField::Trpx) = "12";
    ASSERT_TRUE(rig.session.B_SetConfigClick());
    ASSERT_TRUE(rig.host.RunUntil(
        [&] { return rig.CountLogged(TransferDoneText) == 1 && rig.Device().configsStored == 1; },
        5s));

    const sim::SimStatus device = rig.Device();
    // The defaults with VMX 95 (offset 19) and TRPX 12 (offset 27).
    const auto expected =
        BlockRecord({0xCA, 0xFE, 0xF0, 0xDA, 0x00, 0x1E, 0x01, 0x02, 0x00, 0xB4, 0x04, 0x80, 0x00,
                     0xC0, 0x0B, 0x0B, 0x0B, 0x0B, 0x0B, 0x5F, 0x05, 0x0B, 0x5A, 0x05, 0x0B, 0x11,
                     0x94, 0x0C, 0x0B, 0x06, 0x07, 0x0B, 0x28, 0x03, 0x84, 0x05, 0x00, 0x08, 0x43});
    EXPECT_TRUE(std::ranges::equal(device.block, expected));
    EXPECT_EQ(device.packagesReceived, ConfigPackages + device.resendsSeen);
    EXPECT_EQ(device.imagesRejected, 0u);
    EXPECT_TRUE(rig.host.PortOpen());
    ExpectCleanRoad(rig);
}

TEST_P(Road, OldDeviceGetsTheFirmwareRestartsAndIsRead) {
    RoadRig rig(Chunked(RoadDevice({3, 0, 2, 38}), GetParam()));
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.RunUntilLogged(TransferDoneText, 20s));
    EXPECT_EQ(rig.Device().packagesReceived, FirmwarePackages + rig.Device().resendsSeen);
    ExpectCleanRoad(rig);

    ASSERT_TRUE(rig.RunUntilLogged(ReadDoneText, 5s));
    const sim::SimStatus device = rig.Device();
    EXPECT_EQ(device.firmwareAccepted, 1u);
    EXPECT_EQ(device.imagesRejected, 0u);
    EXPECT_EQ(device.version, (std::array<std::uint8_t, 4>{3, 0, 2, 39}));
    EXPECT_EQ(device.opens, 1u);  // the same connection all along
    EXPECT_EQ(device.memoryReads, ReadRequests);
    EXPECT_EQ(rig.CountLogged("Vyx v3.0.2.38\r\nId: 00A1B2C3 00000039 56595800"), 1);
    EXPECT_EQ(rig.CountLogged("Vyx v3.0.2.39\r\nId: 00A1B2C3 00000039 56595800"), 1);
    EXPECT_EQ(rig.CountLogged(UpToDateText), 1);
    EXPECT_EQ(rig.host.Editor, DefaultsSnapshot());
    ExpectCleanRoad(rig);
}

INSTANTIATE_TEST_SUITE_P(WholeAndUsbChunks, Road, ::testing::Values(WholeFrames, UsbChunks),
                         [](const auto& info) {
                             return info.param == WholeFrames ? std::string("Whole")
                                                              : std::string("Chunks64");
                         });

// A block that fails its checks is replaced at once; the device ends up with
// exactly its own factory defaults (or the preset when the box is ticked).
class CorruptBlock : public ::testing::TestWithParam<RepairCase> {};

TEST_P(CorruptBlock, IsRepairedWithAKnownGoodBlock) {
    sim::SimOptions options = RoadDevice();
    options.block = sim::MakeBlock(sim::BlockKind::Corrupt);
    RoadRig rig(options);
    rig.host.Calvera = GetParam().calvera;
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.host.RunUntil(
        [&] { return rig.CountLogged(TransferDoneText) == 1 && rig.Device().configsStored == 1; },
        5s));

    EXPECT_TRUE(std::ranges::equal(rig.Device().block, sim::MakeBlock(GetParam().stored)));
    EXPECT_EQ(rig.CountLogged(ReadDoneText), 0);
    const auto& lines = rig.host.Lines;
    const auto invalid = std::ranges::find_if(
        lines, [](const LoggedLine& line) { return line.Text == InvalidConfigText; });
    ASSERT_NE(invalid, lines.end());
    EXPECT_EQ(invalid->Colour, LogRed);
    ASSERT_NE(invalid + 1, lines.end());
    EXPECT_EQ((invalid + 1)->Text, GetParam().preparing);
    ExpectCleanRoad(rig);
}

INSTANTIATE_TEST_SUITE_P(DefaultsAndPreset, CorruptBlock, ::testing::ValuesIn(RepairCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A device of a discontinued line is warned about in red, and still read.
TEST(Discontinued, WarnedInRedAndStillRead) {
    RoadRig rig(RoadDevice({2, 0, 2, 39}));
    ASSERT_TRUE(rig.Connect());
    ASSERT_TRUE(rig.RunUntilLogged(ReadDoneText, 5s));

    const auto& lines = rig.host.Lines;
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2].Text,
              "Essa versão do vyx está descontinuada, entre em contato com a Orvanel para mais "
              "informações!");
    EXPECT_EQ(lines[1].Colour, 0u);
    EXPECT_EQ(lines[2].Colour, LogRed);
    EXPECT_EQ(lines[4].Colour, LogRed);  // the red stays until the pane is cleared
    EXPECT_EQ(rig.host.Editor, DefaultsSnapshot());
    ExpectCleanRoad(rig);
}

// A device still in operating mode gets its instructions and the port closes a
// moment later, from the loop rather than from inside the receive handler; the
// port list stays disabled.
TEST(OperatingMode, NoticeThenTheOneShotClose) {
    for (const bool operatingFrame : {false, true}) {
        sim::SimOptions options = RoadDevice();
        options.operatingMode = !operatingFrame;
        options.operatingFrame = operatingFrame;
        RoadRig rig(options);
        ASSERT_TRUE(rig.Connect());
        ASSERT_TRUE(rig.host.RunUntil([&] { return !rig.host.PortOpen(); }, 5s));

        const auto lines = rig.host.LogTexts();
        ASSERT_EQ(lines.size(), 7u);
        EXPECT_EQ(lines[1], "O Vyx foi detectado em modo de operação!");
        EXPECT_EQ(lines[5], "4-Rodar o VyxTool e abrir a porta COM criada");
        EXPECT_EQ(lines[6], ConnectionClosedText);
        EXPECT_EQ(rig.host.TimedCloses, 1);
        EXPECT_FALSE(rig.host.PortListEnabled);
        EXPECT_EQ(rig.Device().memoryReads, 0u);
        EXPECT_TRUE(rig.host.Errors.empty());
    }
}

struct AutoCloseCase {
    std::array<std::uint8_t, 4> version;
    bool autoClose;
    bool closes;
};

// "Fechar após configurar" closes the port after a write only for a 4.x.2.39 device.
TEST(AutoClose, AfterAWriteOnlyForTheListedRelease) {
    const AutoCloseCase cases[] = {
        {{4, 7, 2, 39}, true, true},
        {{3, 0, 2, 39}, true, false},
        {{4, 0, 2, 39}, false, false},
    };
    for (const AutoCloseCase& c : cases) {
        RoadRig rig(RoadDevice(c.version));
        rig.host.AutoClose = c.autoClose;
        ASSERT_TRUE(rig.Connect());
        ASSERT_TRUE(rig.RunUntilLogged(ReadDoneText, 5s));
        ASSERT_TRUE(rig.session.B_SetConfigClick());
        ASSERT_TRUE(rig.RunUntilLogged(TransferDoneText, 5s));
        // Longer than the one-shot close's 50 ms.
        rig.host.RunUntil([&] { return !rig.host.PortOpen(); }, 300ms);

        EXPECT_EQ(rig.host.PortOpen(), !c.closes) << static_cast<int>(c.version[0]);
        EXPECT_EQ(rig.host.TimedCloses, c.closes ? 1 : 0);
        EXPECT_EQ(rig.host.PortListEnabled, c.closes);
        EXPECT_EQ(rig.Device().configsStored, 1u);
        ExpectCleanRoad(rig);
    }
}

}  // namespace
}  // namespace vyx::test
