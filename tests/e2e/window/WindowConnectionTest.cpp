// How the window's connection ends and what it remembers across connections:
// the timed closes, the ID list, and a close that arrives while the receive
// handler is still at work.

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "DropDownList.h"
#include "EditorPanel.h"
#include "HeaderPanel.h"
#include "LatchButton.h"
#include "LinkLabel.h"
#include "ReleasePane.h"
#include "RichLog.h"
#include "RoadRig.h"
#include "WindowRoad.h"

namespace vyx::app::test {
namespace {

using namespace std::chrono_literals;
using vyx::test::ReadDoneText;
using vyx::test::ReadingText;
using vyx::test::RoadDevice;
using vyx::test::TransferDoneText;
using vyx::test::TransferStartText;

constexpr const char* ClosedText = "Conexão fechada...";
constexpr const char* LostText = "Conexão perdida...";
constexpr const char* LastNoticeText = "4-Rodar o VyxTool e abrir a porta COM criada";

// A device still in operating mode (by its mode byte or by its own frame) gets
// the instructions; the port closes a moment later, outside the receive handler,
// and the port list stays disabled.
TEST_F(WindowRoad, OperatingModeClosesThePortShortlyAfterTheNotice) {
    for (const bool operatingFrame : {false, true}) {
        SCOPED_TRACE(operatingFrame ? "operating-mode frame" : "mode byte 0");
        sim::SimOptions options = RoadDevice();
        options.operatingMode = !operatingFrame;
        options.operatingFrame = operatingFrame;
        sim::SimDevice& device = StartDevice(options, operatingFrame ? "vyx-frame" : "vyx-mode");
        TForm1& form = CreateWindow();
        Select(device);

        std::optional<Clock::time_point> noticed;
        bool openAtNotice = false;
        RichLog* log = form.Header().Log;
        QObject::connect(log, &QTextEdit::textChanged, log, [&] {
            if (!noticed && log->Lines().contains(LastNoticeText)) {
                noticed = Clock::now();
                openAtNotice = form.VCP.Connected();
            }
        });
        ClickConnect();
        ASSERT_TRUE(WaitFor([&] { return !form.VCP.Connected() && noticed; }, 3s))
            << LogLines().join('|').toStdString();
        std::printf("[ road ] operating-mode notice to the close: %lld ms\n", MsSince(*noticed));

        EXPECT_TRUE(openAtNotice);
        EXPECT_EQ(LogLines().size(), 7);
        EXPECT_EQ(LogLines().value(1),
                  QString::fromUtf8("O Vyx foi detectado em modo de operação!"));
        EXPECT_EQ(LogLines().last(), QString::fromUtf8(ClosedText));
        EXPECT_FALSE(form.Header().ComboBox1->isEnabled());
        EXPECT_FALSE(form.Header().ButtonVCP->Down());
        EXPECT_TRUE(WaitFor([&] { return !device.Status().portOpen; }, 2s));
        EXPECT_EQ(device.Status().memoryReads, 0u);
        EXPECT_TRUE(Boxes.empty());
        Form.reset();
    }
}

// The one-shot close of the operating-mode notice comes due while the receive
// handler is still pumping events: the close must not wait for that handler.
TEST_F(WindowRoad, TimedCloseDueInsideTheReceiveHandlersPumpDoesNotHang) {
    sim::SimOptions options = RoadDevice();
    options.operatingMode = true;
    sim::SimDevice& device = StartDevice(options);
    TForm1& form = CreateWindow();
    Select(device);

    bool pumped = false;
    bool closedInside = false;
    auto handler = form.VCP.OnRxChar;
    form.VCP.OnRxChar = [&](TCustomComPort& port, std::int32_t count) {
        handler(port, count);
        if (form.Timer2.isActive() && !pumped) {
            // A handler that goes on pumping past the one-shot's 50 ms.
            pumped = true;
            closedInside = WaitFor([&] { return CountLogged(ClosedText) > 0; }, 1s);
        }
    };
    ClickConnect();
    ASSERT_TRUE(WaitFor([&] { return pumped && !form.VCP.Connected(); }, 3s))
        << LogLines().join('|').toStdString();
    EXPECT_TRUE(closedInside);
    EXPECT_TRUE(WaitFor([&] { return !device.Status().portOpen; }, 2s));
    EXPECT_EQ(CountLogged(ClosedText), 1);
    EXPECT_FALSE(form.Header().ButtonVCP->Down());
    EXPECT_TRUE(Boxes.empty());
    // The user reconnects after fixing the device: the port opens again.
    ClickConnect();
    EXPECT_TRUE(form.VCP.Connected());
    ClickConnect();
    Form.reset();  // before the wrapped handler's locals go
}

// The cable is pulled in the middle of an upload: one line says so, no box
// follows, the port is closed, the button is up and nothing is left running.
TEST_F(WindowRoad, CablePulledMidUploadIsOneLineAndTheClosedState) {
    sim::SimOptions options = RoadDevice({3, 0, 2, 38});
    options.hangUpAfterPackage = 100;
    sim::SimDevice& device = StartDevice(options);
    TForm1& form = CreateWindow();
    Select(device);
    ClickConnect();
    ASSERT_TRUE(WaitFor([&] { return !form.VCP.Connected(); }, 10s))
        << LogLines().join('|').toStdString();

    // The simulator records its hang-up just after dropping the line.
    EXPECT_TRUE(device.WaitFor([](const sim::SimStatus& s) { return s.hungUp; }, 1s));
    EXPECT_EQ(CountLogged(LostText), 1);
    EXPECT_EQ(LogLines().last(), QString::fromUtf8(LostText));
    EXPECT_EQ(CountLogged(ClosedText), 0);
    EXPECT_TRUE(Boxes.empty());
    EXPECT_FALSE(form.Header().ButtonVCP->Down());
    EXPECT_TRUE(form.Header().ComboBox1->isEnabled());
    EXPECT_EQ(form.VCP.EventThread(), nullptr);
    for (const QTimer* timer : {&form.Timer1, &form.Timer2, &form.Timer3}) {
        EXPECT_FALSE(timer->isActive());
    }
    EXPECT_EQ(form.Header().ProgressBar1->value(), 0);
}

struct AutoCloseCase {
    const char* name;
    std::array<std::uint8_t, 4> version;
    bool closes;
    friend void PrintTo(const AutoCloseCase& c, std::ostream* out) { *out << c.name; }
};

class AutoCloseInTheWindow : public WindowRoad,
                             public ::testing::WithParamInterface<AutoCloseCase> {};

// "Fechar após configurar" closes the port after a write only for a 4.x.2.39 device.
TEST_P(AutoCloseInTheWindow, ClosesAfterAWriteOnlyForTheListedRelease) {
    sim::SimDevice& device = StartDevice(RoadDevice(GetParam().version));
    TForm1& form = CreateWindow();
    form.Release().Cb_COMAutoClose->click();
    Select(device);
    ClickConnect();
    ASSERT_TRUE(WaitForLog(ReadDoneText, 5s)) << LogLines().join('|').toStdString();
    form.Editor().B_SetConfig->click();
    ASSERT_TRUE(WaitForLog(TransferDoneText, 5s)) << LogLines().join('|').toStdString();
    // Well beyond the one-shot close's 50 ms.
    WaitFor([&] { return !form.VCP.Connected(); }, 500ms);

    EXPECT_EQ(form.VCP.Connected(), !GetParam().closes);
    EXPECT_EQ(CountLogged(ClosedText), GetParam().closes ? 1 : 0);
    EXPECT_EQ(form.Header().ComboBox1->isEnabled(), GetParam().closes);
    EXPECT_EQ(device.Status().configsStored, 1u);
    ExpectCleanRoad(device);
}

INSTANTIATE_TEST_SUITE_P(Releases, AutoCloseInTheWindow,
                         ::testing::Values(AutoCloseCase{"Line4", {4, 7, 2, 39}, true},
                                           AutoCloseCase{"Line3", {3, 0, 2, 39}, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The ID list counts a device again only when another one came in between.
TEST_F(WindowRoad, IdListCountsDevicesAABAsThree) {
    sim::SimOptions a = RoadDevice();
    a.id = {0x000000AA, 0x00000001, 0x56595800};
    sim::SimOptions b = RoadDevice();
    b.id = {0x000000BB, 0x00000002, 0x56595800};
    sim::SimDevice& deviceA = StartDevice(a, "vyx-a");
    sim::SimDevice& deviceB = StartDevice(b, "vyx-b");
    TForm1& form = CreateWindow();

    int reads = 0;
    for (sim::SimDevice* device : {&deviceA, &deviceA, &deviceB, &deviceA}) {
        Select(*device);
        ClickConnect();
        ASSERT_TRUE(WaitForLog(ReadDoneText, 5s)) << LogLines().join('|').toStdString();
        ClickConnect();
        ASSERT_FALSE(form.VCP.Connected());
        ++reads;
    }
    EXPECT_EQ(reads, 4);
    EXPECT_EQ(form.Release().L_IdList->text(), "3");
    EXPECT_EQ(form.Release().LogIdList->Lines(),
              QStringList({"000000AA 00000001 56595800", "000000BB 00000002 56595800",
                           "000000AA 00000001 56595800"}));
    EXPECT_EQ(deviceA.Status().opens, 3u);
    EXPECT_TRUE(Boxes.empty());
}

struct NestedCloseCase {
    const char* name;
    std::array<std::uint8_t, 4> version;
    const char* after;    ///< the click waits until this line is logged
    const char* caption;  ///< the box the interrupted exchange would show if it ran on
    friend void PrintTo(const NestedCloseCase& c, std::ostream* out) { *out << c.name; }
};

class NestedClose : public WindowRoad, public ::testing::WithParamInterface<NestedCloseCase> {};

// The user's click lands in an event pump inside the receive handler: the
// close must finish without waiting on the handler that is waiting on it, and
// the window must connect and read again afterwards.
TEST_P(NestedClose, ClickInsideTheReceiveHandlersPumpClosesWithoutHanging) {
    sim::SimDevice& device = StartDevice(RoadDevice(GetParam().version));
    TForm1& form = CreateWindow();
    Select(device);

    bool inHandler = false;
    bool clickedInside = false;
    auto handler = form.VCP.OnRxChar;
    form.VCP.OnRxChar = [&](TCustomComPort& port, std::int32_t count) {
        inHandler = true;
        handler(port, count);
        inHandler = false;
    };
    // Runs at every pass of any event loop, the handler's nested pumps included.
    QTimer poke;
    poke.setInterval(0);
    QObject::connect(&poke, &QTimer::timeout, &poke, [&] {
        if (inHandler && CountLogged(GetParam().after) > 0) {
            poke.stop();
            clickedInside = true;
            ClickConnect();
        }
    });
    poke.start();
    ClickConnect();
    ASSERT_TRUE(WaitFor([&] { return clickedInside && !form.VCP.Connected(); }, 5s))
        << LogLines().join('|').toStdString();
    ASSERT_TRUE(WaitForLog(ClosedText, 2s));
    EXPECT_TRUE(form.Header().ComboBox1->isEnabled());
    EXPECT_FALSE(form.Header().ButtonVCP->Down());
    EXPECT_TRUE(WaitFor([&] { return !device.Status().portOpen; }, 2s));
    // The close stopped the interrupted exchange: none of its ticks runs on, so
    // no box says the connection is gone, and nothing escapes to the
    // application-wide error display.
    WaitFor([] { return false; }, 600ms);  // more than a tick of either timer
    EXPECT_TRUE(Boxes.empty()) << "no " << GetParam().caption << ", but "
                               << Boxes[0].Caption.toStdString();

    // The window is whole: the next connection starts the road again.
    Boxes.clear();
    ClickConnect();
    ASSERT_TRUE(form.VCP.Connected());
    ASSERT_TRUE(WaitForLog(GetParam().after, 5s)) << LogLines().join('|').toStdString();
    ClickConnect();
    EXPECT_FALSE(form.VCP.Connected());
    Form.reset();  // before the wrapped handler's locals go
}

INSTANTIATE_TEST_SUITE_P(
    Moments, NestedClose,
    ::testing::Values(NestedCloseCase{"Reading", {4, 0, 2, 39}, ReadingText, "ERRO #0x03"},
                      NestedCloseCase{"Uploading", {3, 0, 2, 38}, TransferStartText, "ERRO #0x01"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vyx::app::test
