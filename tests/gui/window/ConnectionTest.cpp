// Opening and closing the port from the window, on a pseudo-terminal that plays
// the device's side.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <QTest>
#include <QToolButton>
#include <memory>

#include "DeviceFrames.h"
#include "DropDownList.h"
#include "EditorPanel.h"
#include "EditorPresets.h"
#include "FormFixture.h"
#include "HeaderPanel.h"
#include "LatchButton.h"
#include "ReleasePane.h"
#include "RichLog.h"

namespace vyx::app::test {
namespace {

// How long a test waits for the device's bytes to make their way through the
// port's event thread (an I/O wait, not a timer).
constexpr int DeliveryLimitMs = 5000;

class ConnectionTest : public FormFixture {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        char name[256] = {};
        ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
        SlavePath = QString::fromLocal8Bit(name);
        Ports = {SlavePath};
    }
    void TearDown() override {
        FormFixture::TearDown();
        ::close(master);
        ::close(slave);
    }

    void Click() { Form->Header().ButtonVCP->click(); }
    QStringList LogLines() const { return Form->Header().Log->Lines(); }
    void DeviceSends(const std::vector<std::uint8_t>& bytes) {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    /// Bytes the tool wrote, once at least one has arrived.
    std::vector<std::uint8_t> ToolWrote() {
        std::vector<std::uint8_t> bytes(4096);
        pollfd pfd{master, POLLIN, 0};
        if (::poll(&pfd, 1, DeliveryLimitMs) <= 0) {
            return {};
        }
        const ssize_t n = ::read(master, bytes.data(), bytes.size());
        bytes.resize(n > 0 ? n : 0);
        return bytes;
    }

    QString SlavePath;
    int master = -1;
    int slave = -1;
};

TEST_F(ConnectionTest, OpeningAndClosingSwitchTheWindowsState) {
    TForm1& form = Create();
    EditorPanel& editor = form.Editor();
    Click();
    ASSERT_TRUE(form.VCP.Connected());
    EXPECT_EQ(QString::fromStdString(form.VCP.Port()), SlavePath);
    EXPECT_TRUE(form.Header().ButtonVCP->Down());
    EXPECT_FALSE(form.Header().ButtonVCP->AllowAllUp());
    EXPECT_FALSE(form.Header().ComboBox1->isEnabled());
    EXPECT_FALSE(editor.B_RemConfig->isEnabled());
    EXPECT_EQ(LogLines(), QStringList({QString::fromUtf8("Conexão aberta...")}));

    Click();
    EXPECT_FALSE(form.VCP.Connected());
    EXPECT_FALSE(form.Header().ButtonVCP->Down());
    EXPECT_TRUE(form.Header().ComboBox1->isEnabled());
    EXPECT_TRUE(editor.B_RemConfig->isEnabled());
    EXPECT_FALSE(editor.B_SetConfig->isEnabled());
    EXPECT_EQ(LogLines(), QStringList({QString::fromUtf8("Conexão aberta..."),
                                       QString::fromUtf8("Conexão fechada...")}));
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(ConnectionTest, OpeningEmptiesTheEditorButNotTheEngineBrakeGroup) {
    TForm1& form = Create();
    form.B_SetDefaultsClick();
    EditNamed("ED_VEBK")->setText("33");
    BoxNamed("CB_BZ_EBK_IN")->setChecked(true);
    Click();
    const EditorSnapshot empty;
    EXPECT_EQ(form.ReadEditor(), empty);
    EXPECT_EQ(EditNamed("ED_VEBK")->text(), "33");
    EXPECT_TRUE(BoxNamed("CB_BZ_EBK_IN")->isChecked());
}

TEST_F(ConnectionTest, AFailedOpenOrNoSelectionOnlyPopsTheButtonUp) {
    Ports = {"/dev/vyx-no-such-port"};
    TForm1& form = Create();
    Click();
    EXPECT_FALSE(form.VCP.Connected());
    EXPECT_FALSE(form.Header().ButtonVCP->Down());
    EXPECT_TRUE(form.Header().ComboBox1->isEnabled());
    EXPECT_TRUE(LogLines().isEmpty());

    form.Header().ComboBox1->setCurrentIndex(-1);
    Click();
    EXPECT_FALSE(form.Header().ButtonVCP->Down());
    EXPECT_TRUE(LogLines().isEmpty());
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(ConnectionTest, RedStaysUntilTheNextOpen) {
    TForm1& form = Create();
    LinkHost& host = form;
    Click();
    host.SetLogColour(LogPane::Log, LogRed);
    host.AppendLog(LogPane::Log, "Configuração inválida!");
    Click();
    EXPECT_EQ(form.Header().Log->LineColour(2), QColor(255, 0, 0));  // "Conexão fechada..."
    Click();
    EXPECT_EQ(LogLines().size(), 1);
    EXPECT_EQ(form.Header().Log->LineColour(0), QColor(Qt::black));
}

TEST_F(ConnectionTest, TheTimedCloseLeavesThePortListAsItWas) {
    TForm1& form = Create();
    Click();
    form.Timer2.start();
    form.Timer2Timer();
    EXPECT_FALSE(form.Timer2.isActive());
    EXPECT_FALSE(form.VCP.Connected());
    EXPECT_FALSE(form.Header().ComboBox1->isEnabled());
    EXPECT_EQ(LogLines().last(), QString::fromUtf8("Conexão fechada..."));
    // The same port opens again with the button.
    Click();
    EXPECT_TRUE(form.VCP.Connected());
}

TEST_F(ConnectionTest, APendingTimedCloseDoesNotOutliveItsConnection) {
    TForm1& form = Create();
    Click();
    form.Timer2.start();  // as after the operating-mode notice
    Click();              // the user closes first
    EXPECT_FALSE(form.Timer2.isActive());
    Click();  // and opens again within the 50 ms
    EXPECT_FALSE(form.Timer2.isActive());
    EXPECT_TRUE(form.VCP.Connected());
    EXPECT_EQ(LogLines(), QStringList({QString::fromUtf8("Conexão aberta...")}));
}

TEST_F(ConnectionTest, ANotificationAfterTheCloseIsDroppedAndTheWindowGoesOn) {
    TForm1& form = Create();
    form.VCPRxChar(5);  // a notification for a port that is no longer open
    EXPECT_TRUE(Boxes.empty());
    Click();
    EXPECT_TRUE(form.VCP.Connected());
}

TEST_F(ConnectionTest, DroppingTheListDownSelectsTheFirstPortAgain) {
    Ports = {"/dev/ttyACM0", "/dev/ttyACM1", SlavePath};
    TForm1& form = Create();
    form.Header().ComboBox1->setCurrentIndex(2);
    Ports = {"/dev/ttyACM0", SlavePath};
    form.ComboBox1DropDown();
    EXPECT_EQ(form.Header().ComboBox1->count(), 2);
    EXPECT_EQ(form.Header().ComboBox1->currentIndex(), 0);

    form.Header().ComboBox1->setCurrentIndex(1);
    EnumerationFails = true;
    form.ComboBox1DropDown();
    EXPECT_EQ(form.Header().ComboBox1->count(), 2);
    EXPECT_EQ(form.Header().ComboBox1->currentIndex(), 1);
}

TEST_F(ConnectionTest, AnAnnouncedDeviceAtTheCurrentReleaseIsRead) {
    TForm1& form = Create();
    Click();
    DeviceSends(vyx::test::IdentityFrame({4, 0, 2, 39}));
    const QString upToDate = QString::fromUtf8("O Vyx está atualizado!");
    EXPECT_TRUE(QTest::qWaitFor([&] { return LogLines().contains(upToDate); }, DeliveryLimitMs));
    EXPECT_EQ(LogLines().mid(1, 4),
              QStringList({"Vyx v4.0.2.39", "Id: 00000003 00000002 00000001", upToDate,
                           QString::fromUtf8("Buscando configuração interna...")}));
    // The first memory read request went out at once.
    const std::vector<std::uint8_t> request = ToolWrote();
    ASSERT_GE(request.size(), 3u);
    EXPECT_EQ(request[0], 0xBC);
    EXPECT_EQ(request[2], static_cast<std::uint8_t>(MessageCode::MemoryRead));
    // The ID list took the device.
    EXPECT_EQ(form.Release().LogIdList->Lines(), QStringList({"00000003 00000002 00000001"}));
    Click();
    EXPECT_FALSE(form.VCP.Connected());
}

TEST_F(ConnectionTest, ClosingFromInsideTheReceiveHandlerDoesNotHang) {
    TForm1& form = Create();
    Click();
    // The user's click lands while the handler is still at work on the identity.
    RichLog* log = form.Header().Log;
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = QObject::connect(log, &QTextEdit::textChanged, log, [this, log, once] {
        if (log->Lines().contains("Vyx v4.0.2.39")) {
            QObject::disconnect(*once);
            Click();
        }
    });
    DeviceSends(vyx::test::IdentityFrame({4, 0, 2, 39}));
    const QString closed = QString::fromUtf8("Conexão fechada...");
    EXPECT_TRUE(QTest::qWaitFor([&] { return LogLines().contains(closed); }, DeliveryLimitMs));
    EXPECT_FALSE(form.VCP.Connected());
    // The read it started finds no port: the read's own message, nothing sent.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Boxes.empty(); }, DeliveryLimitMs));
    EXPECT_EQ(Boxes[0].Caption, "ERRO #0x03");
    Click();
    EXPECT_TRUE(form.VCP.Connected());
}

}  // namespace
}  // namespace vyx::app::test
