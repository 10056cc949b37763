#include <gtest/gtest.h>

#include "FakeHost.h"
#include "StopAndWait.h"

namespace vyx {
namespace {

class StopAndWaitTest : public ::testing::Test {
protected:
    test::FakeHost host;
    TransferProgress progress;
    std::vector<std::uint32_t> sent;  // index of every item sent
    StopAndWait schedule{
        host, host, progress,
        StopAndWaitSettings{TimerId::Timer3, [this] { sent.push_back(progress.TxPackageIndex); },
                            "ERRO #0x03", "ERRO #0x04", MsgIcon::Warning,
                            [] { return std::string("falhou"); }}};
};

TEST_F(StopAndWaitTest, FirstTickSendsItemOneAndStartsTheTimer) {
    schedule.Reset(5);
    EXPECT_EQ(host.ProgressMax, 5);
    EXPECT_EQ(progress.TxAckedIndex, NothingAcknowledged);
    schedule.Tick();
    EXPECT_EQ(sent, (std::vector<std::uint32_t>{1}));
    EXPECT_TRUE(host.TimerEnabled(TimerId::Timer3));
}

TEST_F(StopAndWaitTest, SilenceResendsAtIdleTicksThreeFiveSevenAndGivesUpAtTen) {
    schedule.Reset(5);
    schedule.Tick();
    std::vector<int> sendTicks;
    for (int tick = 1; tick <= 10; ++tick) {
        const auto before = sent.size();
        schedule.Tick();
        if (sent.size() > before) {
            sendTicks.push_back(tick);
        }
    }
    EXPECT_EQ(sendTicks, (std::vector<int>{3, 5, 7}));
    EXPECT_EQ(sent.size(), 4u);
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer3));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Caption, "ERRO #0x04");
    EXPECT_EQ(host.Messages[0].Icon, MsgIcon::Warning);
    EXPECT_EQ(host.Progress, 0);
}

TEST_F(StopAndWaitTest, AHangUpHandledWhileGivingUpLeavesNoBox) {
    schedule.Reset(5);
    schedule.Tick();
    for (int tick = 1; tick < 10; ++tick) {
        schedule.Tick();
    }
    host.OnPump = [this] { ++progress.LinkLosses; };
    schedule.Tick();
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer3));
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_EQ(host.Progress, 0);
}

TEST_F(StopAndWaitTest, AcknowledgementOfCurrentItemMovesOnAndOfAnotherResendsIt) {
    schedule.Reset(5);
    schedule.Tick();
    progress.TxAckedIndex = 1;
    progress.TxAckReceived = true;
    schedule.TickIfRunning();
    progress.TxAckedIndex = 7;  // not the current item
    progress.TxAckReceived = true;
    schedule.TickIfRunning();
    EXPECT_EQ(sent, (std::vector<std::uint32_t>{1, 2, 2}));
    EXPECT_EQ(progress.TxIdleTicks, 0);
}

TEST_F(StopAndWaitTest, ClosedPortStopsWithNoConnectionMessageAndSendsNothing) {
    host.Open = false;
    schedule.Reset(5);
    schedule.Tick();
    EXPECT_TRUE(sent.empty());
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text, "Não há conexão ativa!");
    EXPECT_EQ(host.Messages[0].Caption, "ERRO #0x03");
    EXPECT_EQ(host.Messages[0].Icon, MsgIcon::None);
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer3));
}

}  // namespace
}  // namespace vyx
