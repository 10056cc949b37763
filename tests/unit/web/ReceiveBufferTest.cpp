// When the bytes of the page's read loop go on to the receive handler.

#include <gtest/gtest.h>

#include <vector>

#include "DeviceFrames.h"
#include "ReceiveBuffer.h"

namespace vyx::web {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = ReceiveBuffer::Clock;

const Clock::time_point T0 = Clock::time_point(1h);

struct Arrival {
    std::chrono::milliseconds at;  // after T0
    std::size_t from, to;          // bytes of the frame in this chunk
};

struct HandOverCase {
    const char* name;
    std::vector<Arrival> arrivals;
    std::chrono::milliseconds lastWait;  // what Add answers for the last chunk
};

// A memory read reply of 29 bytes, arriving in pieces.
const Bytes Reply = test::DeviceFrame(MessageCode::MemoryRead, Bytes(21, 0x5A));

class ReceiveBufferHandOver : public ::testing::TestWithParam<HandOverCase> {};

TEST_P(ReceiveBufferHandOver, WaitsOnlyWhileAFrameIsDueAndWithinItsLimits) {
    ReceiveBuffer buffer;
    std::chrono::milliseconds wait{-1};
    for (const Arrival& a : GetParam().arrivals) {
        wait = buffer.Add(std::span(Reply).subspan(a.from, a.to - a.from), T0 + a.at);
    }
    EXPECT_EQ(wait, GetParam().lastWait);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReceiveBufferHandOver,
    ::testing::Values(HandOverCase{"WholeFrame", {{0ms, 0, 29}}, 0ms},
                      HandOverCase{"FirstPiece", {{0ms, 0, 10}}, 20ms},
                      HandOverCase{"CompletedByTheSecond", {{0ms, 0, 10}, {5ms, 10, 29}}, 0ms},
                      // Every chunk restarts the pause, up to the limit in all.
                      HandOverCase{"PauseRestarts", {{0ms, 0, 4}, {15ms, 4, 8}}, 20ms},
                      HandOverCase{"NearTheLimit", {{0ms, 0, 4}, {190ms, 4, 8}}, 10ms},
                      HandOverCase{"StartByteOnly", {{0ms, 0, 1}}, 20ms}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReceiveBuffer, AfterTheWaitTheBytesGoOnAsTheyAre) {
    ReceiveBuffer buffer;
    ASSERT_EQ(buffer.Add(std::span(Reply).first(10), T0), 20ms);
    EXPECT_EQ(buffer.Due(T0 + 19ms), 1ms);
    EXPECT_EQ(buffer.Due(T0 + 20ms), 0ms);
    Bytes out(32);
    EXPECT_EQ(buffer.Take(out.data(), out.size()), 10u);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 10, Reply.begin()));
    EXPECT_EQ(buffer.Size(), 0u);
    EXPECT_EQ(buffer.Due(T0 + 1s), 0ms);  // nothing held: nothing to wait for
}

TEST(ReceiveBuffer, BytesThatCanNeverBeAFrameGoOnAtOnce) {
    ReceiveBuffer buffer;
    const Bytes noise = {0x00, 0x01, 0x02};
    EXPECT_EQ(buffer.Add(noise, T0), 0ms);
    Bytes oversized = Reply;
    oversized[3] = 0xFF;  // a declared length no frame may have
    buffer.Clear();
    EXPECT_EQ(buffer.Add(std::span(oversized).first(8), T0), 0ms);
}

TEST(ReceiveBuffer, TakeLeavesTheRestInOrder) {
    ReceiveBuffer buffer;
    buffer.Add(Reply, T0);
    Bytes first(5), rest(40);
    EXPECT_EQ(buffer.Take(first.data(), first.size()), 5u);
    EXPECT_EQ(buffer.Take(rest.data(), rest.size()), Reply.size() - 5);
    EXPECT_TRUE(std::equal(rest.begin(), rest.begin() + 24, Reply.begin() + 5));
    EXPECT_EQ(buffer.Take(rest.data(), rest.size()), 0u);
}

}  // namespace
}  // namespace vyx::web
