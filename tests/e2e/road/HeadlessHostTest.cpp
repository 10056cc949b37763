// The headless window stand-in on its own: the port as the tool sets it, the
// event loop with its timers, and the editor's boxes.

#include <gtest/gtest.h>

#include <thread>

#include "FrameCheck.h"
#include "HeadlessHost.h"
#include "PortFolder.h"
#include "SimDevice.h"

namespace vyx::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::uint8_t IdentityCode = 4;

sim::SimOptions Device(const PortFolder& folder) {
    sim::SimOptions options;
    options.portFolder = folder.Path();
    return options;
}

// Pumps the loop as a handler that lets the window process events would.
void PumpFor(HeadlessHost& host, std::chrono::milliseconds span) {
    const auto end = Clock::now() + span;
    while (Clock::now() < end) {
        host.ProcessMessages();
        std::this_thread::sleep_for(2ms);
    }
}

class HeadlessHostTest : public ::testing::TestWithParam<std::size_t> {};

// Whether the device writes a frame at once or in 16-byte pieces 1 ms apart, the
// receive handler sees the announcement as one whole frame.
TEST_P(HeadlessHostTest, AnnouncementReachesTheHandlerAsOneWholeFrame) {
    PortFolder folder;
    sim::SimOptions options = Device(folder);
    options.chunkSize = GetParam();
    options.chunkGap = 1ms;
    sim::SimDevice device(options);
    device.Start();

    HeadlessHost host;
    std::vector<std::vector<std::uint8_t>> notifications;
    host.OnRxChar = [&](int count) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
        bytes.resize(static_cast<std::size_t>(host.ReadPort(bytes.data(), count)));
        notifications.push_back(bytes);
    };
    ASSERT_TRUE(host.Connect(device.LinkPath()));
    EXPECT_EQ(host.LogTexts(), std::vector<std::string>{ConnectionOpenedText});
    EXPECT_FALSE(host.PortListEnabled);

    ASSERT_TRUE(host.RunUntil([&] { return !notifications.empty(); }, 3s));
    const FrameCheck frame = CheckFrame(notifications[0].data(), notifications[0].size());
    EXPECT_EQ(frame.Verdict, FrameVerdict::Frame);
    EXPECT_EQ(frame.Code, IdentityCode);
    EXPECT_EQ(frame.Surplus, 0u);
    EXPECT_TRUE(host.Errors.empty());
}

INSTANTIATE_TEST_SUITE_P(WholeAndChunked, HeadlessHostTest, ::testing::Values(0u, 16u));

// The close waits for the port's event thread, which waits for the receive
// handler: a one-shot close asked for inside the handler, even while it pumps
// past the timer's period, runs from the loop once the handler has returned.
TEST(HeadlessHostLoop, OneShotCloseAskedInsideTheReceiveHandlerRunsAfterIt) {
    PortFolder folder;
    sim::SimDevice device(Device(folder));
    device.Start();

    HeadlessHost host;
    bool openWhenHandlerEnded = false;
    host.OnRxChar = [&](int count) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
        host.ReadPort(bytes.data(), count);
        if (host.TimerEnabled(TimerId::Timer2) || host.TimedCloses > 0) {
            return;
        }
        host.SetTimerEnabled(TimerId::Timer2, true);
        PumpFor(host, 120ms);
        openWhenHandlerEnded = host.PortOpen();
    };
    ASSERT_TRUE(host.Connect(device.LinkPath()));
    ASSERT_TRUE(host.RunUntil([&] { return !host.PortOpen(); }, 3s));

    EXPECT_TRUE(openWhenHandlerEnded);
    EXPECT_EQ(host.TimedCloses, 1);
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer2));
    EXPECT_EQ(host.LogTexts().back(), ConnectionClosedText);
    EXPECT_FALSE(host.PortListEnabled);  // the timed close leaves the list as it was
    EXPECT_TRUE(host.Errors.empty());
}

// A click on the connect button handled while the receive handler pumps events
// closes the port at once without waiting for that handler; the port opens
// again afterwards and delivers the next announcement.
TEST(HeadlessHostLoop, DisconnectInsideTheReceiveHandlerThenReconnect) {
    PortFolder folder;
    sim::SimDevice device(Device(folder));
    device.Start();

    HeadlessHost host;
    int notifications = 0;
    host.OnRxChar = [&](int count) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
        host.ReadPort(bytes.data(), count);
        if (++notifications == 1) {
            host.Disconnect();
        }
    };
    ASSERT_TRUE(host.Connect(device.LinkPath()));
    ASSERT_TRUE(host.RunUntil([&] { return notifications == 1; }, 3s));
    EXPECT_FALSE(host.PortOpen());
    EXPECT_EQ(host.LogTexts().back(), ConnectionClosedText);
    EXPECT_TRUE(host.PortListEnabled);

    ASSERT_TRUE(host.Connect(device.LinkPath()));
    EXPECT_TRUE(host.RunUntil([&] { return notifications == 2; }, 3s));
    EXPECT_EQ(device.Status().opens, 2u);
    EXPECT_TRUE(host.Errors.empty());
}

TEST(HeadlessHostLoop, TickThatPumpsIsNotRunAgainInsideItself) {
    HeadlessHost host;
    int depth = 0;
    int deepest = 0;
    int ticks = 0;
    host.OnTimer3 = [&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        PumpFor(host, 150ms);  // longer than the 100 ms period
        --depth;
        if (ticks == 2) {
            host.SetTimerEnabled(TimerId::Timer3, false);
        }
    };
    host.SetTimerEnabled(TimerId::Timer3, true);
    ASSERT_TRUE(host.RunUntil([&] { return ticks == 2; }, 3s));
    EXPECT_EQ(deepest, 1);
}

TEST(HeadlessHostLoop, GivesUpAtTheDeadline) {
    HeadlessHost host;
    const auto start = Clock::now();
    EXPECT_FALSE(host.RunUntil([] { return false; }, 40ms));
    const auto spent = Clock::now() - start;
    EXPECT_GE(spent, 40ms);
    EXPECT_LT(spent, 1s);
}

struct CouplingCase {
    TripleBoxes before;
    TripleBoxes applied;
    TripleBoxes shown;
};

// Boxes set by the program run the same coupling as clicks: "Durante" and
// "Entrada"/"Saída" never stay ticked together, and the later box wins.
TEST(HeadlessHostEditor, AppliedBoxesFollowTheBuzzerCoupling) {
    const CouplingCase cases[] = {
        {{}, {true, true, false, true, false}, {true, true, false, true, false}},
        {{}, {false, false, true, false, true}, {false, false, true, false, true}},
        {{}, {true, false, true, false, false}, {false, false, true, false, false}},
        {{}, {true, true, true, true, true}, {false, false, true, true, true}},
        {{false, false, true}, {true, false, false}, {true, false, false}},
        {{true, true, false}, {true, true, false}, {true, true, false}},
    };
    for (const CouplingCase& c : cases) {
        HeadlessHost host;
        host.Editor.Triple(TripleCondition::Rpx) = c.before;
        EditorSnapshot wanted = host.ReadEditor();
        wanted.Triple(TripleCondition::Rpx) = c.applied;
        host.ApplyEditor(wanted);
        EXPECT_EQ(host.Editor.Triple(TripleCondition::Rpx), c.shown);
    }
}

}  // namespace
}  // namespace vyx::test
