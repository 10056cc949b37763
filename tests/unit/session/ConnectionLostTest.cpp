// The cable pulled while the session waits for the device: the connection and
// the session together (the desktop's connection steps, on a port never opened).

#include <gtest/gtest.h>

#include <algorithm>

#include "AnsweringDevice.h"
#include "Connection.h"
#include "Cport.h"
#include "DeviceSession.h"
#include "FakeConfigHost.h"
#include "FakeHost.h"

namespace vyx {
namespace {

// What the window shows of the connection, as plain values.
struct FakeConnectionView : ConnectionView {
    void ConnectionChanging() override {}
    void ShowConnected() override { Connected = true; }
    void ShowDisconnected() override { Connected = false; }
    void SetPortListEnabled(bool enabled) override { PortListEnabled = enabled; }
    bool Connected = true;
    bool PortListEnabled = false;
};

// The cable is pulled while an upload or a read waits for the device: one line
// says so, the exchange stops without a box, and the closed state shows.
TEST(DeviceSessionLost, ExchangeUnderWayStopsWithOneLineAndNoBox) {
    struct Case {
        const char* Name;
        DeviceVersion Version;  // an old device gets the firmware, a current one is read
        TimerId Exchange;
    };
    for (const Case& c : {Case{"upload", {4, 0, 2, 38}, TimerId::Timer1},
                          Case{"read", {4, 0, 2, 39}, TimerId::Timer3}}) {
        SCOPED_TRACE(c.Name);
        test::FakeHost host;
        test::FakeConfigHost editor;
        FakeConnectionView view;
        TComPort port;  // never opened: the pulled cable's port
        DeviceSession session{host, host, editor, {}};
        Connection connection{port, host, view, {}, [&] { session.PortLost(); }};
        test::AnsweringDevice device{host};
        device.Announce(session, c.Version);
        ASSERT_TRUE(host.TimerEnabled(c.Exchange));
        host.SetTimerEnabled(TimerId::Timer2, true);  // a timed close asked for earlier
        host.SetProgress(1);

        host.Open = false;
        connection.Lost();

        EXPECT_EQ(host.LogTexts().back(), "Conexão perdida...");
        EXPECT_EQ(std::ranges::count(host.LogTexts(), "Conexão fechada..."), 0);
        EXPECT_TRUE(host.Messages.empty());
        for (TimerId timer : {TimerId::Timer1, TimerId::Timer2, TimerId::Timer3}) {
            EXPECT_FALSE(host.TimerEnabled(timer)) << static_cast<int>(timer);
        }
        EXPECT_EQ(host.Progress, 0);
        EXPECT_FALSE(view.Connected);
        EXPECT_TRUE(view.PortListEnabled);
    }
}

}  // namespace
}  // namespace vyx
