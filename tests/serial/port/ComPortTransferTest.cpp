// Reads and writes with the tool's time-outs, and the receive queue's count.
// Timing is checked by order and loose bounds only.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "Cport.h"
#include "PtyPair.h"
#include "ToolPort.h"

namespace vyx {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Pattern;
using test::PtyPair;
using test::WaitForInput;

class ComPortTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        test::UseToolSettings(port, pty.SlavePath());
        port.SetEvents({});  // reads here without an event thread
        port.Open();
    }

    PtyPair pty;
    TComPort port;
};

TEST_F(ComPortTransfer, AReadOfWhatIsWaitingReturnsAtOnce) {
    pty.Send(Pattern(10));
    ASSERT_TRUE(WaitForInput(port, 10));
    std::uint8_t buffer[10] = {};
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 10), 10);
    EXPECT_LT(Clock::now() - start, 150ms);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 10), Pattern(10));
}

TEST_F(ComPortTransfer, AShortReadEndsOnTheIntervalWellBeforeTheTotal) {
    pty.Send(Pattern(4));
    ASSERT_TRUE(WaitForInput(port, 4));
    std::uint8_t buffer[10] = {};
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 10), 4);
    const auto took = Clock::now() - start;
    EXPECT_GE(took, 190ms);   // the 200 ms interval ran out...
    EXPECT_LT(took, 1000ms);  // ...long before the 1,100 ms total
}

TEST_F(ComPortTransfer, AReadThatGetsNothingReturns0AfterTheTotal) {
    std::uint8_t buffer[10] = {};
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 10), 0);
    const auto took = Clock::now() - start;
    EXPECT_GE(took, 1090ms);
    EXPECT_LT(took, 3000ms);
}

TEST_F(ComPortTransfer, AReadWaitsForBytesStillOnTheirWay) {
    std::thread device([&] {
        std::this_thread::sleep_for(50ms);
        pty.Send(Pattern(3));
        std::this_thread::sleep_for(50ms);
        pty.Send(Pattern(3, 3));
    });
    std::uint8_t buffer[6] = {};
    EXPECT_EQ(port.Read(buffer, 6), 6);
    device.join();
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + 6), Pattern(6));
}

TEST_F(ComPortTransfer, WrittenBytesReachTheDevice) {
    const auto frame = Pattern(60, 7);
    EXPECT_EQ(port.Write(frame.data(), 60), 60);
    EXPECT_EQ(pty.Receive(60, 2s), frame);
}

TEST_F(ComPortTransfer, AWriteTheDeviceDoesNotTakeIsCutOffWithoutAnError) {
    // Nobody reads the device side: the driver's queue fills, and a write then
    // returns the smaller count after its 2 ms per byte + 2 ms.
    const auto frame = Pattern(60);
    std::int32_t written = 60;
    Clock::duration took{};
    for (int i = 0; i < 100000 && written == 60; ++i) {
        const auto start = Clock::now();
        written = port.Write(frame.data(), 60);
        took = Clock::now() - start;
    }
    EXPECT_LT(written, 60);
    EXPECT_GE(took, 115ms);
    EXPECT_LT(took, 1000ms);
}

TEST_F(ComPortTransfer, ClearingTheInputDropsWhatWasWaiting) {
    pty.Send(Pattern(20));
    ASSERT_TRUE(WaitForInput(port, 20));
    port.ClearBuffer(true, true);
    EXPECT_EQ(port.InputCount(), 0);
    pty.Send(Pattern(2, 100));
    ASSERT_TRUE(WaitForInput(port, 2));
    std::uint8_t buffer[2] = {};
    EXPECT_EQ(port.Read(buffer, 2), 2);
    EXPECT_EQ(buffer[0], 100);
}

TEST_F(ComPortTransfer, AfterAHangUpReadsAndWritesFailAndTheCloseSucceeds) {
    pty.HangUp();
    std::uint8_t buffer[4] = {};
    try {
        port.Read(buffer, 4);
        ADD_FAILURE() << "read after hang-up succeeded";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorNumber, 3);
        EXPECT_EQ(e.SystemCode, EIO);
    }
    try {
        port.Write(buffer, 4);
        ADD_FAILURE() << "write after hang-up succeeded";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorNumber, 2);
        EXPECT_EQ(e.SystemCode, EIO);
    }
    port.Close();
    EXPECT_FALSE(port.Connected());
}

TEST(ComTimeouts, LimitsFollowTheValuesAsUnsignedQuantities) {
    TComPort port;
    TComTimeouts& t = port.Timeouts();
    // Defaults: an interval of -1 with no totals returns at once.
    EXPECT_TRUE(t.ReadLimitsFor(10).immediate);
    EXPECT_EQ(t.WriteLimitFor(60), 7000ms);

    t.SetReadInterval(200);
    t.SetReadTotalMultiplier(100);
    t.SetReadTotalConstant(100);
    t.SetWriteTotalMultiplier(2);
    t.SetWriteTotalConstant(2);
    const auto limits = t.ReadLimitsFor(10);
    EXPECT_FALSE(limits.immediate);
    EXPECT_EQ(limits.interval, 200ms);
    EXPECT_EQ(limits.total, 1100ms);
    EXPECT_EQ(t.WriteLimitFor(60), 122ms);

    t.SetReadInterval(0);
    t.SetReadTotalMultiplier(0);
    t.SetReadTotalConstant(0);
    EXPECT_FALSE(t.ReadLimitsFor(10).interval);  // 0: no limit at all
    EXPECT_FALSE(t.ReadLimitsFor(10).total);
    t.SetReadTotalConstant(-1);  // the largest value, not a negative time
    EXPECT_EQ(t.ReadLimitsFor(1).total, std::chrono::milliseconds(0xFFFFFFFFll));
}

}  // namespace
}  // namespace vyx
