// The headless road under Wine: the real port, the device session and the window
// stand-in against the native simulator, each scenario on a port of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "DeviceSession.h"
#include "HeadlessHost.h"
#include "LinePeer.h"

namespace vyx::test {
namespace {

using namespace std::chrono_literals;

// The simulator's line is a pseudo-terminal, which Wine cannot run at the
// device's rate (see ARateTheDriverDoesNotMakeIsRefused); any rate it takes will do.
constexpr std::int32_t LineRate = 115200;

const char* const ReadDone = "Leitura da configuração interna concluída!";
const char* const TransferDone = "Atualização concluída com sucesso!";
const char* const UpToDate = "O Vyx está atualizado!";

class Road : public ::testing::Test {
protected:
    Road() : session(host, host.Io(), host, [this] { host.CloseSoon(); }) {
        host.VCP().SetCustomBaudRate(LineRate);
        host.OnRxChar = [this](int count) { session.VCPRxChar(count); };
        host.OnTimer1 = [this] { session.Timer1Timer(); };
        host.OnTimer3 = [this] { session.Timer3Timer(); };
        host.OnConnected = [this] { session.PortOpened(); };
        host.OnLost = [this] { session.PortLost(); };
        host.OnClosed = [this](bool timed) { session.PortClosed(timed); };
    }
    void Use(const char* variable) {
        port = PortFrom(variable);
        if (port.empty()) {
            GTEST_SKIP() << variable << " names no simulated device";
        }
    }
    bool RunUntilLogged(const std::string& text, std::chrono::milliseconds limit, int times = 1) {
        return host.RunUntil([&] { return Count(text) >= times; }, limit);
    }
    int Count(const std::string& text) const {
        int n = 0;
        for (const std::string& line : host.LogTexts()) {
            n += line == text ? 1 : 0;
        }
        return n;
    }

    std::string port;
    HeadlessHost host;
    DeviceSession session;
};

TEST_F(Road, TheBlockIsReadWrittenAndReadBackAsWritten) {
    Use("VYX_SIM_PORT");
    ASSERT_TRUE(host.Connect(port));
    ASSERT_TRUE(RunUntilLogged(ReadDone, 10s)) << ::testing::PrintToString(host.LogTexts());
    EXPECT_EQ(host.LogTexts().front(), "Conexão aberta...");
    EXPECT_EQ(Count(UpToDate), 1);
    ASSERT_TRUE(host.ConfigButtonEnabled);

    host.Editor.Text(EditorField::Vmx) = "95";
    host.Editor.Text(EditorField::Trpx) = "12";
    ASSERT_TRUE(session.B_SetConfigClick());
    ASSERT_TRUE(RunUntilLogged(TransferDone, 20s)) << ::testing::PrintToString(host.LogTexts());
    host.Disconnect();

    ASSERT_TRUE(host.Connect(port));
    ASSERT_TRUE(RunUntilLogged(ReadDone, 10s));
    EXPECT_EQ(host.Editor.Text(EditorField::Vmx), "95");
    EXPECT_EQ(host.Editor.Text(EditorField::Trpx), "12");
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_TRUE(host.Errors.empty());
    host.Disconnect();
    EXPECT_EQ(host.LogTexts().back(), "Conexão fechada...");
}

TEST_F(Road, AnOldDeviceGetsTheFirmwareRestartsAndIsRead) {
    Use("VYX_OLD_SIM_PORT");
    ASSERT_TRUE(host.Connect(port));
    ASSERT_TRUE(RunUntilLogged(ReadDone, 60s)) << ::testing::PrintToString(host.LogTexts());
    EXPECT_EQ(Count(TransferDone), 1);
    EXPECT_EQ(Count(UpToDate), 1);
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_TRUE(host.Errors.empty());
}

TEST_F(Road, ACablePulledMidUploadEndsTheTransferAndClosesThePort) {
    Use("VYX_HANGUP_SIM_PORT");
    ASSERT_TRUE(host.Connect(port));
    ASSERT_TRUE(host.RunUntil([&] { return !host.PortOpen(); }, 20s))
        << ::testing::PrintToString(host.LogTexts());
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_TRUE(host.Errors.empty());
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer1));
    EXPECT_EQ(host.LogTexts().back(), "Conexão perdida...");
}

}  // namespace
}  // namespace vyx::test
