// What the session says happened, in the device's terms, and how a connection's
// end stops what was under way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AnsweringDevice.h"
#include "ConfigImage.h"
#include "DeviceFrames.h"
#include "DeviceSession.h"
#include "EditorPresets.h"
#include "FakeConfigHost.h"
#include "FakeHost.h"
#include "SessionEvents.h"

namespace vyx {
namespace {

using Lines = std::vector<std::string>;
using test::AnsweringDevice;

std::string Name(Exchange exchange) {
    return ExchangeCode(exchange);
}

std::string At(const ExchangeCounters& c) {
    return " at " + std::to_string(c.At) + " of " + std::to_string(c.Count) + ", resends " +
           std::to_string(c.Resends);
}

// Every outcome as one short line.
struct Said : SessionEvents {
    void Identified(const IdentifiedDevice& d) override {
        Lines_.push_back("identified " + VersionText(d.Identity.Version) + " " +
                         WordsOf(d.Need).Code + (d.OperatingMode() ? ", operating mode" : ""));
    }
    void OperatingModeNotice() override { Lines_.push_back("operating-mode notice"); }
    void ExchangeStarted(Exchange e, const ExchangeCounters& c) override {
        Lines_.push_back("started " + Name(e) + " of " + std::to_string(c.Count));
    }
    void ExchangeFailed(const ExchangeFailure& f) override {
        Lines_.push_back("failed " + Name(f.Of) + " " + f.Caption + " (" + std::to_string(f.Code) +
                         ")" + At(f.Counters));
    }
    void ExchangeCutOff(const ExchangeCut& c) override {
        Lines_.push_back("cut " + Name(c.Of) + At(c.Counters));
    }
    void UploadFinished(const ExchangeCounters& c) override {
        Lines_.push_back("uploaded" + At(c));
    }
    void ConfigurationRead(const ConfigReadResult& r) override {
        Lines_.push_back(std::string("read ") + (r.Repaired ? "rejected, repaired" : "accepted") +
                         ", speed " + r.Read.Decoded.Texts[2]);
    }
    void ConfigurationWritten(const ConfigBlock& b, const ExchangeCounters& c) override {
        Lines_.push_back("written, speed " + b.Decoded.Texts[2] + At(c));
    }
    void ReadBack(const ReadBackResult& r) override {
        Lines_.push_back(r.Equal ? "read back equal" : "read back: " + r.FirstDifference);
    }
    void ConnectionClosed(CloseCause cause) override {
        Lines_.push_back(cause == CloseCause::Asked           ? "closed"
                         : cause == CloseCause::OperatingMode ? "closed after the notice"
                                                              : "closed after the write");
    }
    void ConnectionLost() override { Lines_.push_back("lost"); }

    Lines Lines_;
};

class SessionEventsTest : public ::testing::Test {
protected:
    SessionEventsTest() { session.AddEvents(said); }

    // Ticks `timer` as the door's timer would, while it runs.
    void Tick(TimerId timer, int times) {
        for (int i = 0; i < times && host.TimerEnabled(timer); ++i) {
            timer == TimerId::Timer1 ? session.Timer1Timer() : session.Timer3Timer();
        }
    }

    test::FakeHost host;
    test::FakeConfigHost editor;
    DeviceSession session{host, host, editor, {}};
    AnsweringDevice device{host};
    Said said;
};

TEST_F(SessionEventsTest, EachRoadSaysWhatHappenedInTheDevicesTerms) {
    const ConfigImage calvera = EncodeConfigImage(CalveraReference).Image;
    struct Case {
        const char* Name;
        DeviceVersion Version;
        bool ValidBlock;
        bool Answers;
        Lines Expected;
    };
    const Case cases[] = {
        {"current",
         {4, 0, 2, 39},
         true,
         true,
         {"identified 4.0.2.39 up to date", "started read of 5", "read accepted, speed 100"}},
        {"blank block",
         {4, 0, 2, 39},
         false,
         true,
         {"identified 4.0.2.39 up to date", "started read of 5", "read rejected, repaired, speed ",
          "started write of 44", "written, speed 120 at 44 of 44, resends 0"}},
        {"old firmware",
         {3, 0, 2, 38},
         true,
         true,
         {"identified 3.0.2.38 needs upload", "started upload of 1861",
          "uploaded at 1861 of 1861, resends 0"}},
        {"discontinued, silent",
         {2, 0, 2, 39},
         true,
         false,
         {"identified 2.0.2.39 discontinued", "started read of 5",
          "failed read ERRO #0x04 (4) at 1 of 5, resends 3"}},
        {"blank firmware",
         {41, 0, 255, 255},
         true,
         false,
         {"identified 41.0.255.255 needs upload", "started upload of 1861"}},
        {"not served", {5, 0, 1, 0}, true, true, {"identified 5.0.1.0 not served"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        test::FakeHost host;
        test::FakeConfigHost editor;
        DeviceSession session{host, host, editor, {}};
        AnsweringDevice device{host};
        Said said;
        session.AddEvents(said);
        if (c.ValidBlock) {
            device.Block = calvera;
        }
        device.Announce(session, c.Version);
        if (c.Answers) {
            device.Serve(session);
        }
        for (int i = 0; i < 12 && host.TimerEnabled(TimerId::Timer3); ++i) {
            session.Timer3Timer();
        }
        EXPECT_EQ(said.Lines_, c.Expected);
    }
}

TEST_F(SessionEventsTest, ADoorThatDecidesGetsTheIdentityAndNothingIsStarted) {
    session.SetStartsOnIdentity(false);
    device.Announce(session, {4, 0, 2, 38});
    EXPECT_EQ(said.Lines_, Lines{"identified 4.0.2.38 needs upload"});
    EXPECT_TRUE(host.Written.empty());
}

TEST_F(SessionEventsTest, AWriteReadBackIsComparedWithWhatWasWritten) {
    device.Block = EncodeConfigImage(CalveraReference).Image;
    device.Announce(session, {4, 0, 2, 39});
    device.Serve(session);
    editor.Editor = DefaultsSnapshot();
    ASSERT_TRUE(session.B_SetConfigClick());
    device.Serve(session);
    session.ReadBackWrite();  // the device kept its block
    device.Serve(session);
    std::copy(device.Received[6].begin(), device.Received[6].end(), device.Block.begin());
    session.ReadBackWrite();
    device.Serve(session);

    const Lines tail(said.Lines_.end() - 4, said.Lines_.end());
    EXPECT_EQ(tail,
              (Lines{"started read of 5", "read back: ping.period_s: gravado 180, lido de volta 60",
                     "started read of 5", "read back equal"}));
    EXPECT_TRUE(host.Messages.empty());
}

// A device that repeats its operating-mode notice: the close is due 50 ms after
// the first one, and later notices do not push it back.
TEST(SessionTimedClose, RepeatedOperatingModeNoticesDoNotPushTheCloseBack) {
    // A door's Timer2 as a one-shot that starts again whenever it is enabled.
    struct ClockedHost : test::FakeHost {
        void SetTimerEnabled(TimerId timer, bool enabled) override {
            if (timer == TimerId::Timer2 && enabled) {
                CloseDue = Now + 50;
            }
            FakeHost::SetTimerEnabled(timer, enabled);
        }
        int Now = 0;
        int CloseDue = -1;
    };
    const std::vector<std::uint8_t> notices[] = {
        test::DeviceFrame(MessageCode::OperatingMode, {}),
        test::IdentityFrame({4, 0, 2, 39}, {3, 2, 1}, 0),
    };
    for (const auto& notice : notices) {
        ClockedHost host;
        test::FakeConfigHost editor;
        DeviceSession session{host, host, editor, {}};
        AnsweringDevice device{host};
        Said said;
        session.AddEvents(said);
        for (host.Now = 0; host.Now < 50; host.Now += 20) {
            device.Deliver(session, notice);
        }
        EXPECT_EQ(host.CloseDue, 50);
        session.PortClosed(true);  // the close at its due time
        EXPECT_EQ(said.Lines_.back(), "closed after the notice");
    }
}

// The button closes the port at package 15 of a write's 44 and opens it again:
// the old write stops without a box, and the new connection carries only its
// own exchange, even when the device still acknowledges the old one.
TEST_F(SessionEventsTest, ACloseStopsTheWriteUnderWayAndNothingOfItReachesTheNextConnection) {
    device.Block = EncodeConfigImage(CalveraReference).Image;
    device.Announce(session, {4, 0, 2, 39});
    device.Serve(session);
    ASSERT_TRUE(session.B_SetConfigClick());
    for (std::uint32_t index = 1; index < 15; ++index) {
        device.Deliver(session, test::AckFrame(index));
    }
    ASSERT_EQ(session.Progress().TxPackageIndex, 15u);

    host.Open = false;
    session.PortClosed();
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer1));
    EXPECT_EQ(host.Progress, 0);

    host.Open = true;
    session.PortOpened();
    host.Written.clear();
    device.Skip();
    Tick(TimerId::Timer1, 12);
    device.Deliver(session, test::AckFrame(15));  // the device still in the old write
    device.Announce(session, {4, 0, 2, 39});
    device.Serve(session);

    ASSERT_EQ(host.Written.size(), 5u);
    for (const auto& frame : host.Written) {
        EXPECT_EQ(frame[2], static_cast<std::uint8_t>(MessageCode::MemoryRead));
    }
    EXPECT_TRUE(host.Messages.empty());
    const Lines tail(said.Lines_.end() - 5, said.Lines_.end());
    EXPECT_EQ(tail,
              (Lines{"cut write at 15 of 44, resends 0", "closed", "identified 4.0.2.39 up to date",
                     "started read of 5", "read accepted, speed 100"}));
}

}  // namespace
}  // namespace vyx
