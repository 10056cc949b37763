// The roads of a connection through the real window, as a technician drives it:
// pick the simulator's port, connect, and watch the log and the editor.

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>

#include "BlockRecord.h"
#include "EditorBinding.h"
#include "EditorPanel.h"
#include "EditorPresets.h"
#include "HeaderPanel.h"
#include "ReleasePane.h"
#include "RichLog.h"
#include "RoadRig.h"
#include "SimBlocks.h"
#include "WindowRoad.h"

namespace vyx::app::test {
namespace {

using namespace std::chrono_literals;
using vyx::test::InvalidConfigText;
using vyx::test::ReadDoneText;
using vyx::test::RepairCase;
using vyx::test::RepairCases;
using vyx::test::RoadDevice;
using vyx::test::TransferDoneText;
using vyx::test::TransferStartText;

constexpr std::uint64_t FirmwarePackages = 1861;
const QColor Red(255, 0, 0);

TEST_F(WindowRoad, UpToDateDeviceIsReadIntoTheEditorThenStoresTheEditedBlock) {
    // A block unlike the window's defaults, so the editor can only show it by reading it.
    sim::SimOptions options = RoadDevice({4, 0, 2, 39});
    options.block = sim::MakeBlock(sim::BlockKind::Preset);
    sim::SimDevice& device = StartDevice(options);
    TForm1& form = CreateWindow();
    EditorPanel& editor = form.Editor();
    Select(device);
    const auto connected = Clock::now();
    ClickConnect();
    ASSERT_TRUE(WaitForLog(ReadDoneText, 5s)) << LogLines().join('|').toStdString();
    std::printf("[ road ] connect to a read configuration: %lld ms\n", MsSince(connected));

    EXPECT_EQ(LogLines(), QStringList({QString::fromUtf8("Conexão aberta..."), "Vyx v4.0.2.39",
                                       "Id: 00A1B2C3 00000039 56595800",
                                       QString::fromUtf8("O Vyx está atualizado!"),
                                       QString::fromUtf8("Buscando configuração interna..."),
                                       QString::fromUtf8(ReadDoneText)}));
    EXPECT_EQ(form.ReadEditor(), CalveraSnapshot());
    EXPECT_EQ(EditorBinding::Edit(editor, EditorField::Vmx)->text(), "100");
    EXPECT_TRUE(editor.B_SetConfig->isEnabled());
    EXPECT_EQ(device.Status().memoryReads, 5u);
    ExpectCleanRoad(device);

    // The technician types a new top speed and drops the speeding event.
    QLineEdit* vmx = EditorBinding::Edit(editor, EditorField::Vmx);
    vmx->selectAll();
    QTest::keyClicks(vmx, "95");
    QCheckBox* speedingEvent = form.findChild<QCheckBox*>("CB_EV_VMX_IN");
    ASSERT_NE(speedingEvent, nullptr);
    speedingEvent->click();
    const EditorSnapshot edited = form.ReadEditor();
    ASSERT_EQ(edited.Text(EditorField::Vmx), "95");
    ASSERT_FALSE(edited.Triple(TripleCondition::Vmx).EventIn);

    const auto written = Clock::now();
    editor.B_SetConfig->click();
    ASSERT_TRUE(WaitFor(
        [&] { return CountLogged(TransferDoneText) == 1 && device.Status().configsStored == 1; },
        5s))
        << LogLines().join('|').toStdString();
    std::printf("[ road ] \"CONFIGURAR\" to a stored block: %lld ms\n", MsSince(written));

    const sim::SimStatus status = device.Status();
    // The Calvera block with VMX's action 02 (offset 18) and VMX 95 (offset 19).
    const auto expected = vyx::test::BlockRecord(
        {0xCA, 0xFE, 0xF0, 0xDA, 0x00, 0x1E, 0x01, 0x02, 0x00, 0x3C, 0x04, 0x80, 0x00,
         0xC0, 0x0B, 0x0B, 0x01, 0x01, 0x02, 0x5F, 0x0A, 0x03, 0x50, 0x0A, 0x03, 0x11,
         0x94, 0x05, 0x03, 0x01, 0x07, 0x03, 0x28, 0x03, 0x84, 0x05, 0x00, 0x07, 0x82});
    EXPECT_TRUE(std::ranges::equal(status.block, expected));
    EXPECT_EQ(status.imagesRejected, 0u);
    EXPECT_TRUE(form.VCP.Connected());
    ExpectCleanRoad(device);
}

class CorruptBlockInTheWindow : public WindowRoad,
                                public ::testing::WithParamInterface<RepairCase> {};

// A block that fails its checks is replaced at once with a known-good one; the
// device ends up with exactly that block, byte for byte.
TEST_P(CorruptBlockInTheWindow, IsRepairedWithTheChosenBlock) {
    sim::SimOptions options = RoadDevice();
    options.block = sim::MakeBlock(sim::BlockKind::Corrupt);
    sim::SimDevice& device = StartDevice(options);
    TForm1& form = CreateWindow();
    if (GetParam().calvera) {
        form.Release().Cb_Calvera->click();
    }
    Select(device);
    ClickConnect();
    ASSERT_TRUE(WaitFor(
        [&] { return CountLogged(TransferDoneText) == 1 && device.Status().configsStored == 1; },
        5s))
        << LogLines().join('|').toStdString();

    EXPECT_TRUE(std::ranges::equal(device.Status().block, sim::MakeBlock(GetParam().stored)));
    EXPECT_EQ(CountLogged(ReadDoneText), 0);
    const int invalid = LineOf(InvalidConfigText);
    ASSERT_GE(invalid, 0);
    EXPECT_EQ(form.Header().Log->LineColour(invalid), Red);
    EXPECT_EQ(LogLines().value(invalid + 1), QString::fromUtf8(GetParam().preparing));
    ExpectCleanRoad(device);
}

INSTANTIATE_TEST_SUITE_P(DefaultsAndPreset, CorruptBlockInTheWindow,
                         ::testing::ValuesIn(RepairCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowRoad, OldDeviceIsUpdatedRestartsAtTheCurrentReleaseAndIsRead) {
    sim::SimDevice& device = StartDevice(RoadDevice({3, 0, 2, 38}));
    TForm1& form = CreateWindow();
    int peak = 0;
    QProgressBar* bar = form.Header().ProgressBar1;
    QObject::connect(bar, &QProgressBar::valueChanged, bar,
                     [&peak](int value) { peak = std::max(peak, value); });
    Select(device);
    ClickConnect();
    ASSERT_TRUE(WaitForLog(TransferStartText, 5s)) << LogLines().join('|').toStdString();
    const auto uploading = Clock::now();
    ASSERT_TRUE(WaitForLog(TransferDoneText, 30s)) << LogLines().join('|').toStdString();
    std::printf("[ road ] firmware upload of %llu packages: %lld ms\n",
                static_cast<unsigned long long>(FirmwarePackages), MsSince(uploading));
    EXPECT_GE(peak, static_cast<int>(FirmwarePackages) - 1);  // the bar followed the upload

    ASSERT_TRUE(WaitForLog(ReadDoneText, 5s)) << LogLines().join('|').toStdString();
    const sim::SimStatus status = device.Status();
    EXPECT_EQ(status.packagesReceived, FirmwarePackages + status.resendsSeen);
    EXPECT_EQ(status.firmwareAccepted, 1u);
    EXPECT_EQ(status.imagesRejected, 0u);
    EXPECT_EQ(status.version, (std::array<std::uint8_t, 4>{3, 0, 2, 39}));
    EXPECT_EQ(status.opens, 1u);  // the same connection all along
    EXPECT_EQ(CountLogged("Vyx v3.0.2.38"), 1);
    EXPECT_EQ(CountLogged("Vyx v3.0.2.39"), 1);
    EXPECT_EQ(form.ReadEditor(), DefaultsSnapshot());
    EXPECT_TRUE(form.Editor().B_SetConfig->isEnabled());
    ExpectCleanRoad(device);
}

TEST_F(WindowRoad, DiscontinuedDeviceIsWarnedInRedAndRead) {
    sim::SimDevice& device = StartDevice(RoadDevice({2, 0, 2, 39}));
    TForm1& form = CreateWindow();
    Select(device);
    ClickConnect();
    ASSERT_TRUE(WaitForLog(ReadDoneText, 5s)) << LogLines().join('|').toStdString();

    const char* warning =
        "Essa versão do vyx está descontinuada, entre em contato com a Orvanel para mais "
        "informações!";
    const int warned = LineOf(warning);
    ASSERT_EQ(warned, 3);  // after the opening and the two identity lines
    const RichLog* log = form.Header().Log;
    EXPECT_EQ(log->LineColour(warned - 1), QColor(Qt::black));
    EXPECT_EQ(log->LineColour(warned), Red);
    EXPECT_EQ(log->LineColour(LineOf(ReadDoneText)), Red);  // red until the pane is cleared
    EXPECT_EQ(form.ReadEditor(), DefaultsSnapshot());
    EXPECT_TRUE(form.Editor().B_SetConfig->isEnabled());
    ExpectCleanRoad(device);
}

}  // namespace
}  // namespace vyx::app::test
