#include <gtest/gtest.h>

#include <vector>

#include "DeviceFrames.h"
#include "FakeHost.h"
#include "FakeReceiveTarget.h"
#include "ReceiveDispatcher.h"

namespace vyx {
namespace {

using Bytes = std::vector<std::uint8_t>;

class ReceiveDispatcherTest : public ::testing::Test {
protected:
    void Receive(const Bytes& bytes) {
        host.Incoming.insert(host.Incoming.end(), bytes.begin(), bytes.end());
        dispatcher.VCPRxChar(static_cast<int>(bytes.size()));
    }

    test::FakeHost host;
    TransferProgress progress;
    test::FakeReceiveTarget target;
    ReceiveDispatcher dispatcher{host, host, progress, target};
};

TEST_F(ReceiveDispatcherTest, ShortNotificationCountsAndTicksButIsNeverParsed) {
    Receive({0xBC, 0x12, 0x02, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(progress.Code10, 1);
    EXPECT_EQ(target.Ticks, 1);
    EXPECT_TRUE(target.Acks.empty());
}

TEST_F(ReceiveDispatcherTest, DroppedBuffersLeaveOnlyTheirCounters) {
    Bytes badSum = test::AckFrame(1);
    badSum.back() ^= 0xFF;
    Bytes incomplete = test::AckFrame(1);
    incomplete[4] = 0x10;  // declares more than arrives
    Receive(Bytes(9, 0x55));
    Receive(badSum);
    Receive(incomplete);
    EXPECT_EQ(progress.Code15, 1);
    EXPECT_EQ(progress.Code10 + progress.Code20, 0);
    EXPECT_TRUE(host.Lines.empty());
    EXPECT_TRUE(target.Acks.empty());
}

TEST_F(ReceiveDispatcherTest, FrameForAnotherReceiverIsLoggedAndNotActedOn) {
    Receive(EncodeFrame(MessageCode::Ack, Bytes{0x00, 0x01}));
    EXPECT_EQ(host.LogTexts(), (std::vector<std::string>{"Destino inválido!"}));
    EXPECT_TRUE(target.Acks.empty());
}

TEST_F(ReceiveDispatcherTest, CodesGoToTheirHandlers) {
    Receive(test::AckFrame(0x0102));
    Receive(test::DeviceFrame(MessageCode::Nack, {}));
    Receive(test::DeviceFrame(MessageCode::MemoryRead, Bytes(7, 1)));
    Receive(test::DeviceFrame(static_cast<MessageCode>(9), Bytes(3, 1)));
    ASSERT_EQ(target.Acks.size(), 1u);
    EXPECT_EQ(target.Acks[0], (Bytes{0x01, 0x02}));
    EXPECT_EQ(target.Nacks, 1);
    EXPECT_EQ(target.Replies.size(), 1u);
    EXPECT_TRUE(host.Lines.empty());
}

TEST_F(ReceiveDispatcherTest, SurplusCountsOnlyAfterADispatchThatEndedNormally) {
    const Bytes stray = {0xAA, 0xBB};
    auto withStray = [&](Bytes frame) {
        frame.insert(frame.end(), stray.begin(), stray.end());
        return frame;
    };
    Receive(withStray(test::AckFrame(3)));                                          // normal
    Receive(withStray(test::DeviceFrame(static_cast<MessageCode>(9), {})));         // ignored
    Receive(withStray(test::DeviceFrame(MessageCode::MemoryRead, Bytes(6, 0))));    // early
    Receive(withStray(test::IdentityFrame({4, 0, 2, 39}, {1, 2, 3}, /*mode=*/0)));  // early
    Receive(withStray(test::DeviceFrame(MessageCode::Identity, Bytes(44, 1))));     // early
    EXPECT_EQ(progress.Code20, 2);
    EXPECT_TRUE(target.Replies.empty());
}

TEST_F(ReceiveDispatcherTest, ReadsNoMoreThanThePortHandsOver) {
    // The notification announced more bytes than the port delivered.
    const Bytes frame = test::AckFrame(5);
    host.Incoming.assign(frame.begin(), frame.end());
    dispatcher.VCPRxChar(static_cast<int>(frame.size()) + 50);
    ASSERT_EQ(target.Acks.size(), 1u);
    EXPECT_EQ(progress.Code20, 0);
}

TEST_F(ReceiveDispatcherTest, PortClosedWhileEventsRanDropsTheNotificationUnread) {
    // A disconnect click or the timed close handled in the pump before the read.
    const Bytes frame = test::AckFrame(5);
    host.Incoming.assign(frame.begin(), frame.end());
    host.OnPump = [this] { host.Open = false; };
    dispatcher.VCPRxChar(static_cast<int>(frame.size()));
    EXPECT_EQ(host.Reads, 0);
    EXPECT_TRUE(target.Acks.empty());
    EXPECT_EQ(progress.Code10 + progress.Code15 + progress.Code20, 0);
}

TEST_F(ReceiveDispatcherTest, OperatingModeFrameRepeatsTheNoticeEachTime) {
    Receive(test::DeviceFrame(MessageCode::OperatingMode, {}));
    Receive(test::DeviceFrame(MessageCode::OperatingMode, {}));
    EXPECT_EQ(host.LogTexts().size(), 10u);
    EXPECT_EQ(host.LogTexts()[5], "O Vyx foi detectado em modo de operação!");
    EXPECT_TRUE(host.TimerEnabled(TimerId::Timer2));
}

}  // namespace
}  // namespace vyx
