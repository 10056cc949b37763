// The received-bytes notification: window thread only, one call at a time, Count
// from the receive queue, closing from inside the handler, hang-ups told once and
// coalescing of messages that arrive in chunks.
#include <gtest/gtest.h>

#include <time.h>

#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "Cport.h"
#include "PtyPair.h"
#include "ToolPort.h"
#include "WindowPump.h"

namespace vyx {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Pattern;
using test::PtyPair;
using test::WindowPump;

class ComThread : public ::testing::Test {
protected:
    void SetUp() override {
        test::UseToolSettings(port, pty.SlavePath());
        port.OnRxChar = [this](TCustomComPort& sender, std::int32_t count) {
            EXPECT_EQ(std::this_thread::get_id(), windowThread);
            EXPECT_EQ(&sender, &port);
            counts.push_back(count);
            if (handler) {
                handler(count);
            } else {
                std::vector<std::uint8_t> bytes(count);
                sender.Read(bytes.data(), count);
                received.insert(received.end(), bytes.begin(), bytes.end());
            }
        };
    }

    bool PumpUntilCalls(std::size_t calls, std::chrono::milliseconds limit = 3s) {
        return pump.RunUntil([&] { return counts.size() >= calls; }, limit);
    }

    const std::thread::id windowThread = std::this_thread::get_id();
    WindowPump pump;
    PtyPair pty;
    TComPort port;
    std::function<void(std::int32_t)> handler;
    std::vector<std::int32_t> counts;
    std::vector<std::uint8_t> received;
};

TEST_F(ComThread, ReceivedBytesReachTheHandlerOnTheWindowThread) {
    port.Open();
    pty.Send(Pattern(10));
    ASSERT_TRUE(pump.RunUntil([&] { return received.size() >= 10; }, 3s));
    EXPECT_EQ(received, Pattern(10));
    for (std::int32_t count : counts) {
        EXPECT_GT(count, 0);
    }
}

TEST_F(ComThread, BytesArrivingWhileTheHandlerIsBusyComeInOneLaterCall) {
    port.Open();
    handler = [&](std::int32_t count) {
        if (counts.size() == 1) {
            pty.Send(Pattern(25));
            pty.Send(Pattern(25, 25));
            ASSERT_TRUE(test::WaitForInput(port, count + 50));
        }
        std::vector<std::uint8_t> bytes(count);
        EXPECT_EQ(port.Read(bytes.data(), count), count);
    };
    pty.Send(Pattern(10));
    ASSERT_TRUE(PumpUntilCalls(2));
    EXPECT_EQ(counts[1], 50);
    EXPECT_FALSE(pump.RunUntil([&] { return counts.size() > 2; }, 100ms));
}

TEST_F(ComThread, ABatchThatFindsTheQueueEmptiedCallsNothing) {
    port.Open();
    pty.Send(Pattern(8));
    ASSERT_TRUE(pump.WaitForWakeUps(1, 3s));  // the batch is queued
    port.ClearBuffer(true, true);
    RunPendingHandOvers();
    EXPECT_TRUE(counts.empty());
    pty.Send(Pattern(3));  // the thread goes on
    ASSERT_TRUE(PumpUntilCalls(1));
    EXPECT_EQ(counts[0], 3);
}

TEST_F(ComThread, AZeroByteIsReportedOnce) {
    port.Open();
    pty.Send({0});
    ASSERT_TRUE(PumpUntilCalls(1));
    EXPECT_FALSE(pump.RunUntil([&] { return counts.size() > 1; }, 100ms));
    EXPECT_EQ(received, std::vector<std::uint8_t>{0});
}

TEST_F(ComThread, ACloseWhileABatchIsQueuedRunsTheHandlerOnceMore) {
    port.Open();
    bool openInHandler = false;
    handler = [&](std::int32_t count) {
        openInHandler = port.Connected();
        std::vector<std::uint8_t> bytes(count);
        EXPECT_EQ(port.Read(bytes.data(), count), count);
    };
    pty.Send(Pattern(12));
    ASSERT_TRUE(pump.WaitForWakeUps(1, 3s));
    port.Close();
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts[0], 12);
    EXPECT_TRUE(openInHandler);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.EventThread(), nullptr);
}

TEST_F(ComThread, AThrowingHandlerEndsTheThreadSilentlyAndReadsStillWork) {
    port.Open();
    handler = [](std::int32_t) { throw std::runtime_error("handler failed"); };
    pty.Send(Pattern(5));
    // The exception stays with the thread: nothing reaches the window thread.
    ASSERT_TRUE(pump.RunUntil([&] { return port.EventThread()->Ended(); }, 3s));
    EXPECT_EQ(counts.size(), 1u);
    EXPECT_TRUE(port.EventThread()->FatalException());

    pty.Send(Pattern(5, 5));
    EXPECT_FALSE(pump.RunUntil([&] { return counts.size() > 1; }, 100ms));
    std::uint8_t bytes[10] = {};
    EXPECT_EQ(port.Read(bytes, 10), 10);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes, bytes + 10), Pattern(10));

    port.Close();  // and a new opening notifies again
    handler = nullptr;
    port.Open();
    pty.Send(Pattern(2));
    ASSERT_TRUE(PumpUntilCalls(2));
}

// The close arrives from inside the handler itself, or from something the
// handler's nested event loop runs (a timer tick that closes the port).
TEST_F(ComThread, ACloseFromInsideTheHandlerFinishesOnceTheHandlerHasReturned) {
    for (const bool nested : {false, true}) {
        SCOPED_TRACE(nested ? "from a nested event loop" : "from the handler");
        counts.clear();
        port.Open();
        bool closedInHandler = true;
        handler = [&](std::int32_t) {
            if (nested) {
                RunPendingHandOvers();  // finds nothing for this port, must not block
            }
            port.SetConnected(false);
            closedInHandler = !port.Connected();
            char byte;
            try {
                port.Read(&byte, 1);
                ADD_FAILURE() << "read on a closed port";
            } catch (const EComPort& e) {
                EXPECT_EQ(e.ErrorNumber, 3);
            }
        };
        pty.Send(Pattern(4));
        ASSERT_TRUE(PumpUntilCalls(1));
        EXPECT_TRUE(closedInHandler);
        EXPECT_FALSE(port.Connected());
        EXPECT_EQ(port.EventThread(), nullptr);
        // The device was let go: it opens again and notifies as before.
        handler = nullptr;
        port.Open();
        pty.Send(Pattern(3));
        ASSERT_TRUE(PumpUntilCalls(2));
        EXPECT_EQ(counts[1], 3 + 0);
        port.Close();
    }
}

TEST_F(ComThread, AReopenFromInsideTheHandlerServesTheNewOpening) {
    port.Open();
    handler = [&](std::int32_t) {
        if (counts.size() == 1) {
            port.Close();
            port.Open();
        }
    };
    pty.Send(Pattern(4));
    ASSERT_TRUE(PumpUntilCalls(1));
    EXPECT_TRUE(port.Connected());
    pty.Send(Pattern(6));
    ASSERT_TRUE(PumpUntilCalls(2));
    EXPECT_EQ(counts[1], 6);
}

// Reopened inside its handler, the port's new opening delivers a batch inside that
// handler's nested event loop, and that batch closes the port: two closes from
// inside handlers, one nested in the other, neither may wait for its thread.
TEST_F(ComThread, ClosesFromNestedHandlersOfTwoOpeningsBothFinish) {
    port.Open();
    handler = [&](std::int32_t count) {
        std::vector<std::uint8_t> bytes(count);
        port.Read(bytes.data(), count);
        if (counts.size() == 1) {
            port.Close();
            port.Open();
            pty.Send(Pattern(2));
            EXPECT_TRUE(pump.RunUntil([&] { return counts.size() >= 2; }, 3s));
        } else {
            port.Close();
        }
    };
    pty.Send(Pattern(4));
    ASSERT_TRUE(PumpUntilCalls(2));
    EXPECT_FALSE(port.Connected());
    port.Open();  // both openings let the device go
    EXPECT_TRUE(port.Connected());
}

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

TEST_F(ComThread, AHangUpIsToldOnceThenTheThreadEndsWithoutBurningTheProcessor) {
    int hangUps = 0;
    port.OnHangUp = [&](TCustomComPort& sender) {
        EXPECT_EQ(std::this_thread::get_id(), windowThread);
        EXPECT_EQ(&sender, &port);
        EXPECT_EQ(received, Pattern(3));  // the bytes before it came first
        ++hangUps;
    };
    port.Open();
    pty.Send(Pattern(3));
    ASSERT_TRUE(PumpUntilCalls(1));
    pty.HangUp();
    ASSERT_TRUE(pump.RunUntil([&] { return port.EventThread()->Ended(); }, 3s));
    const double before = ProcessCpuSeconds();
    std::this_thread::sleep_for(1s);
    EXPECT_LT(ProcessCpuSeconds() - before, 0.2);
    EXPECT_EQ(hangUps, 1);          // told before the thread ended, and it told no more
    EXPECT_TRUE(port.Connected());  // the owner decides when to close
    char byte = 0;
    EXPECT_THROW(port.Write(&byte, 1), EComPort);
    port.Close();
    EXPECT_FALSE(port.Connected());
}

// The owner closes the port from the hang-up handler, while the event thread
// waits for that handler: the close must not wait for the thread.
TEST_F(ComThread, ACloseFromTheHangUpHandlerFinishes) {
    port.OnHangUp = [&](TCustomComPort& sender) { sender.Close(); };
    port.Open();
    pty.HangUp();
    ASSERT_TRUE(pump.RunUntil([&] { return !port.Connected(); }, 3s));
    EXPECT_EQ(port.EventThread(), nullptr);
}

TEST_F(ComThread, AMessageArrivingInChunksIsHandedOverWhole) {
    port.SetFrameCompleteHint(test::LengthPrefixedComplete);
    port.Open();
    std::vector<std::uint8_t> message = Pattern(201, 1);
    message[0] = 200;
    std::thread device([&] { pty.SendInUsbChunks(message); });
    ASSERT_TRUE(PumpUntilCalls(1));
    device.join();
    EXPECT_EQ(counts[0], 201);
    EXPECT_EQ(received, message);
}

TEST_F(ComThread, AMessageThatNeverCompletesIsStillHandedOver) {
    port.SetFrameCompleteHint([](const std::uint8_t*, std::size_t) { return false; });
    port.Open();
    pty.Send(Pattern(7));
    const auto start = Clock::now();
    ASSERT_TRUE(PumpUntilCalls(1, 3s));
    EXPECT_LT(Clock::now() - start, 1500ms);
    EXPECT_EQ(counts[0], 7);
}

TEST_F(ComThread, WithoutEventsNoThreadRuns) {
    port.SetEvents({});
    port.Open();
    EXPECT_EQ(port.EventThread(), nullptr);
    pty.Send(Pattern(3));
    EXPECT_FALSE(PumpUntilCalls(1, 100ms));
}

TEST(HandOver, AStaleWakeUpFindsNothingAndANestedRunNeverBlocks) {
    RunPendingHandOvers();  // nothing queued: returns at once
    bool ran = false;
    bool nestedReturned = false;
    std::thread event([&] {
        const std::exception_ptr error = HandOverAndWait(
            [&] {
                ran = true;
                RunPendingHandOvers();  // the request is off the queue already
                nestedReturned = true;
                throw std::runtime_error("kept for the event thread");
            },
            {});
        EXPECT_TRUE(error);
    });
    while (!ran) {
        RunPendingHandOvers();
        std::this_thread::yield();
    }
    event.join();
    EXPECT_TRUE(nestedReturned);
}

}  // namespace
}  // namespace vyx
