// The received-bytes notification run by the loop that opened the port, with no
// event thread: coalescing, hang-ups and closes from inside the handlers, under
// the loop's own wait.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "ComReceivePass.h"
#include "Cport.h"
#include "PtyPair.h"
#include "ToolPort.h"

namespace vyx {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Pattern;
using test::PtyPair;

class ReceivePass : public ::testing::Test {
protected:
    void SetUp() override {
        test::UseToolSettings(port, pty.SlavePath());
        port.OnRxChar = [this](TCustomComPort&, std::int32_t count) {
            counts.push_back(count);
            std::vector<std::uint8_t> bytes(count);
            port.Read(bytes.data(), count);
            received.insert(received.end(), bytes.begin(), bytes.end());
            if (handler) {
                handler();
            }
        };
        port.OnHangUp = [this](TCustomComPort&) {
            ++hangUps;
            EXPECT_EQ(received.size(), bytesBeforeHangUp);  // the bytes came first
            if (hangUpHandler) {
                hangUpHandler();
            }
        };
    }

    // The loop: waits on the port and runs the pass until `done()` holds.
    bool Loop(const std::function<bool()>& done, std::chrono::milliseconds limit = 3s) {
        const auto deadline = Clock::now() + limit;
        while (!done()) {
            if (Clock::now() >= deadline) {
                return false;
            }
            pass.Wait(-1, std::min(deadline, Clock::now() + 5ms));
            pass.Run();
        }
        return true;
    }

    PtyPair pty;
    TComPort port;
    ComReceivePass pass{port};
    std::function<void()> handler;
    std::function<void()> hangUpHandler;
    std::vector<std::int32_t> counts;
    std::vector<std::uint8_t> received;
    std::size_t bytesBeforeHangUp = 0;
    int hangUps = 0;
};

TEST_F(ReceivePass, OpensWithoutAnEventThreadAndReportsOnTheLoopsThread) {
    const auto loopThread = std::this_thread::get_id();
    handler = [&] { EXPECT_EQ(std::this_thread::get_id(), loopThread); };
    port.Open();
    EXPECT_EQ(port.EventThread(), nullptr);
    pty.Send(Pattern(10));
    ASSERT_TRUE(Loop([&] { return received.size() == 10; }));
    EXPECT_EQ(received, Pattern(10));
}

// A message in 64-byte chunks 1 ms apart is reported whole; one that never
// completes goes as it is once the chunks stop.
TEST_F(ReceivePass, APartialMessageWaitsForItsRestButNotForEver) {
    port.SetFrameCompleteHint(test::LengthPrefixedComplete);
    port.Open();
    std::vector<std::uint8_t> message = Pattern(201, 1);
    message[0] = 200;
    std::thread device([&] { pty.SendInUsbChunks(message); });
    const bool whole = Loop([&] { return !counts.empty(); });
    device.join();
    ASSERT_TRUE(whole);
    EXPECT_EQ(counts, std::vector<std::int32_t>{201});
    EXPECT_EQ(received, message);

    std::vector<std::uint8_t> cut = Pattern(7, 1);
    cut[0] = 50;
    pty.Send(cut);
    const auto start = Clock::now();
    ASSERT_TRUE(Loop([&] { return counts.size() == 2; }));
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(counts[1], 7);
}

// A handler that pumps the loop does not get its own port's next bytes inside
// itself: they come in a later call, all together.
TEST_F(ReceivePass, ANestedPassReportsNothingInsideTheHandler) {
    port.Open();
    handler = [&] {
        if (counts.size() == 1) {
            pty.Send(Pattern(30));
            ASSERT_TRUE(test::WaitForInput(port, 30));
            pty.Send(Pattern(20));
            ASSERT_TRUE(test::WaitForInput(port, 50));
            pass.Run();
            EXPECT_EQ(counts.size(), 1u);
        }
    };
    pty.Send(Pattern(4));
    ASSERT_TRUE(Loop([&] { return counts.size() == 2; }));
    EXPECT_EQ(counts, (std::vector<std::int32_t>{4, 50}));
}

TEST_F(ReceivePass, AHangUpIsToldOnceAfterTheBytesAndIsNotWaitedOnAgain) {
    port.Open();
    bytesBeforeHangUp = 3;
    pty.Send(Pattern(3));
    ASSERT_TRUE(Loop([&] { return received.size() == 3; }));
    pty.HangUp();
    ASSERT_TRUE(Loop([&] { return hangUps == 1; }));
    // The gone device stays readable: a wait that looked at it would return at once.
    const auto start = Clock::now();
    pass.Wait(-1, start + 30ms);
    pass.Run();
    EXPECT_GE(Clock::now() - start, 25ms);
    EXPECT_EQ(hangUps, 1);
    EXPECT_TRUE(port.Connected());  // the owner decides when to close
    char byte = 0;
    EXPECT_THROW(port.Write(&byte, 1), EComPort);
    port.Close();
}

// The handlers close or reopen the port themselves: nothing more is told of the
// opening they left, and a new opening is served.
TEST_F(ReceivePass, HandlersThatCloseOrReopenThePort) {
    struct Case {
        const char* name;
        bool inHangUp;  // else in the receive handler
        bool reopen;
    };
    for (const Case c :
         {Case{"close on receipt", false, false}, Case{"reopen on receipt", false, true},
          Case{"close on hang-up", true, false}}) {
        SCOPED_TRACE(c.name);
        PtyPair device;
        test::UseToolSettings(port, device.SlavePath());
        counts.clear();
        received.clear();
        hangUps = 0;
        bool acted = false;
        const auto act = [&] {
            if (acted) {
                return;
            }
            acted = true;
            port.Close();
            if (c.reopen) {
                port.Open();
            }
        };
        handler = c.inHangUp ? std::function<void()>{} : act;
        hangUpHandler = c.inHangUp ? act : std::function<void()>{};
        port.Open();
        bytesBeforeHangUp = 4;
        device.Send(Pattern(4));
        if (c.inHangUp) {
            ASSERT_TRUE(Loop([&] { return counts.size() == 1; }));
            device.HangUp();
        }
        ASSERT_TRUE(Loop([&] { return acted; }));
        EXPECT_TRUE(Loop([] { return false; }, 50ms) == false);
        EXPECT_EQ(counts, std::vector<std::int32_t>{4});
        EXPECT_EQ(hangUps, c.inHangUp ? 1 : 0);
        EXPECT_EQ(port.Connected(), c.reopen);
        if (c.reopen) {
            device.Send(Pattern(6));
            ASSERT_TRUE(Loop([&] { return counts.size() == 2; }));
            EXPECT_EQ(counts[1], 6);
            port.Close();
        }
    }
}

}  // namespace
}  // namespace vyx
