// The serial port on Windows against a line that echoes what it is sent: open and
// close, exclusive use, settings, the read time-out rules, the receive event
// thread's hand-over, a close from inside the handler and a pulled cable.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Cport.h"
#include "LinePeer.h"
#include "ToolPort.h"
#include "WindowPump.h"

namespace vyx {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// Any rate the line takes: a pseudo-terminal does not care.
constexpr std::int32_t LineRate = 115200;

std::int64_t MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class EchoLine : public ::testing::Test {
protected:
    void SetUp() override {
        path = test::PortFrom("VYX_ECHO_PORT");
        if (path.empty()) {
            GTEST_SKIP() << "VYX_ECHO_PORT names no echoing line";
        }
        test::UseToolSettings(port, path);
        port.SetCustomBaudRate(LineRate);
        port.OnRxChar = [this](TCustomComPort& sender, std::int32_t count) {
            EXPECT_EQ(std::this_thread::get_id(), windowThread);
            counts.push_back(count);
            Bytes bytes(static_cast<std::size_t>(count));
            bytes.resize(static_cast<std::size_t>(sender.Read(bytes.data(), count)));
            received.insert(received.end(), bytes.begin(), bytes.end());
            if (closeInHandler) {
                sender.Close();
            }
        };
    }
    void Send(const Bytes& bytes) {
        ASSERT_EQ(port.Write(bytes.data(), static_cast<std::int32_t>(bytes.size())),
                  static_cast<std::int32_t>(bytes.size()));
    }
    bool Receive(std::size_t count) {
        return pump.RunUntil([&] { return received.size() >= count; }, 3s);
    }

    std::string path;
    const std::thread::id windowThread = std::this_thread::get_id();
    test::WindowPump pump;
    TComPort port;
    std::vector<std::int32_t> counts;
    Bytes received;
    bool closeInHandler = false;
};

TEST_F(EchoLine, OpensAndClosesAgainAndAgain) {
    for (int round = 0; round < 2; ++round) {
        port.Open();
        EXPECT_TRUE(port.Connected());
        EXPECT_NE(port.EventThread(), nullptr);
        port.Close();
        EXPECT_FALSE(port.Connected());
        EXPECT_EQ(port.EventThread(), nullptr);
    }
}

TEST(ComPortOpen, AMissingPortIsErrorOpenWithFileNotFound) {
    TComPort port;
    port.SetPort("COM42");
    try {
        port.Open();
        FAIL() << "opened a port that does not exist";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorNumber, ComErrorOpen);
        EXPECT_EQ(e.SystemCode, ERROR_FILE_NOT_FOUND);
    }
    EXPECT_FALSE(port.Connected());
}

TEST_F(EchoLine, ASecondOpenerIsRefused) {
    port.Open();
    if (test::UnderWine()) {
        GTEST_SKIP() << "Wine lets a second handle open a serial device";
    }
    TComPort other;
    other.SetPort(path);
    try {
        other.Open();
        FAIL() << "a second opener got the port";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorNumber, ComErrorOpen);
        EXPECT_EQ(e.SystemCode, ERROR_ACCESS_DENIED);
    }
}

// Each change goes to the open device at once; the next step puts the tool's value back.
TEST_F(EchoLine, LineSettingsAreTakenWhileOpen) {
    struct Step {
        const char* name;
        std::function<void()> apply;
        bool wineRefuses;
    };
    const Step steps[] = {
        {"even parity", [&] { port.Parity().SetBits(prEven); }, false},
        {"no parity", [&] { port.Parity().SetBits(prNone); }, false},
        {"two stop bits", [&] { port.SetStopBits(sbTwoStopBits); }, false},
        {"one stop bit", [&] { port.SetStopBits(sbOneStopBit); }, false},
        {"seven data bits", [&] { port.SetDataBits(dbSeven); }, true},
        {"eight data bits", [&] { port.SetDataBits(dbEight); }, false},
        {"write time-out", [&] { port.Timeouts().SetWriteTotalConstant(5); }, false},
        {"8 KiB queues", [&] { port.Buffer().SetInputSize(8192); }, false},
    };
    port.Open();
    for (const Step& step : steps) {
        if (step.wineRefuses && test::UnderWine()) {
            EXPECT_THROW(step.apply(), EComPort) << step.name;
        } else {
            EXPECT_NO_THROW(step.apply()) << step.name;
        }
    }
    EXPECT_TRUE(port.Connected());
}

// Wine runs a pseudo-terminal at 38,400 bit/s when asked for the device's rate;
// the port takes that as a refusal. On Windows a real adapter takes the rate.
TEST_F(EchoLine, ARateTheDriverDoesNotMakeIsRefused) {
    if (!test::UnderWine()) {
        GTEST_SKIP() << "needs a driver that substitutes the rate";
    }
    port.SetCustomBaudRate(3686400);
    try {
        port.Open();
        FAIL() << "the substituted rate was taken";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorNumber, ComErrorLineSettings);
        EXPECT_EQ(e.SystemCode, ERROR_INVALID_PARAMETER);
    }
    EXPECT_FALSE(port.Connected());

    // On an open port the setter stores the value, throws, and leaves the port open.
    port.SetCustomBaudRate(LineRate);
    port.Open();
    EXPECT_THROW(port.SetCustomBaudRate(3686400), EComPort);
    EXPECT_EQ(port.CustomBaudRate(), 3686400);
    EXPECT_TRUE(port.Connected());
}

struct ReadCase {
    const char* name;
    std::size_t waiting;  // bytes that arrive before the read
    std::int32_t asked;
    std::int32_t returned;
    std::int64_t fromMs;  // the read ends within [fromMs, toMs)
    std::int64_t toMs;
};

// The tool's time-outs: 200 ms between bytes, 100 ms per byte asked plus 100 ms in all.
const ReadCase ReadCases[] = {
    {"AllWaitingAtOnce", 10, 10, 10, 0, 100},
    {"FewerWaitingAfterTheInterval", 4, 10, 4, 190, 1000},
    {"NoneWaitingAfterTheTotal", 0, 10, 0, 1090, 2000},
};

class ReadTimeouts : public EchoLine, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadTimeouts, EndAsTheRulesSay) {
    const ReadCase& c = GetParam();
    port.SetEvents({});  // the test thread reads; nothing is handed over
    port.Open();
    port.ClearBuffer(true, true);
    if (c.waiting > 0) {
        Send(Bytes(c.waiting, 0x55));
        ASSERT_TRUE(test::WaitForInput(port, static_cast<std::int32_t>(c.waiting)));
    }
    Bytes bytes(static_cast<std::size_t>(c.asked));
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(bytes.data(), c.asked), c.returned);
    const std::int64_t took = MillisecondsSince(start);
    EXPECT_GE(took, c.fromMs);
    EXPECT_LT(took, c.toMs);
}

INSTANTIATE_TEST_SUITE_P(Tool, ReadTimeouts, ::testing::ValuesIn(ReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EchoLine, ReceivedBytesReachTheHandlerOnTheWindowThreadInOneCall) {
    port.Open();
    port.ClearBuffer(true, true);
    Send({0x01, 0x00, 0x02});  // a zero byte adds the event character's event
    ASSERT_TRUE(Receive(3));
    EXPECT_EQ(received, (Bytes{0x01, 0x00, 0x02}));
    EXPECT_EQ(counts, std::vector<std::int32_t>{3});
}

TEST_F(EchoLine, ACloseFromInsideTheHandlerEndsAndTheNextOpenReceives) {
    port.Open();
    port.ClearBuffer(true, true);
    closeInHandler = true;
    Send({0x10, 0x11});
    ASSERT_TRUE(Receive(2));
    ASSERT_TRUE(pump.RunUntil([&] { return !port.Connected(); }, 1s));
    EXPECT_EQ(port.EventThread(), nullptr);

    closeInHandler = false;
    received.clear();
    port.Open();
    port.ClearBuffer(true, true);
    Send({0x20, 0x21, 0x22});
    ASSERT_TRUE(Receive(3));
    EXPECT_EQ(received, (Bytes{0x20, 0x21, 0x22}));
}

// Last of the file: the line comes back under its name only after a moment.
TEST_F(EchoLine, APulledCableEndsTheThreadAndThePortStillCloses) {
    port.Open();
    port.ClearBuffer(true, true);
    const std::string request = test::HangUpRequest;
    Send(Bytes(request.begin(), request.end()));
    ASSERT_TRUE(pump.RunUntil([&] { return port.EventThread()->Ended(); }, 3s));
    EXPECT_FALSE(port.EventThread()->FatalException());

    std::uint8_t byte = 0;
    try {
        port.Read(&byte, 1);
        FAIL() << "a read after the hang-up succeeded";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorNumber, ComErrorRead);
    }
    try {
        port.Write(&byte, 1);
        FAIL() << "a write after the hang-up succeeded";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorNumber, ComErrorWrite);
    }
    EXPECT_NO_THROW(port.Close());
    EXPECT_FALSE(port.Connected());
}

}  // namespace
}  // namespace vyx
