// Cutting the tool's byte stream into frames.

#include <gtest/gtest.h>

#include "Frame.h"
#include "FrameAssembler.h"
#include "ToolEnd.h"

namespace vyx::sim::test {
namespace {

const Bytes First = EncodeFrame(MessageCode::Jump, {});
const Bytes Second = EncodeFrame(MessageCode::MemoryRead, Bytes{0, 0, 0x10, 0, 0x01, 0xF4});

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

TEST(FrameAssembler, FindsEveryGoodFrameWhateverThePieces) {
    Bytes corrupted = First;
    corrupted.back() ^= 1;
    const Bytes oversized = {0xBC, 0x21, 0x07, 0x03, 0xFC};  // 1,020 payload bytes
    const struct {
        const char* what;
        Bytes stream;
        std::size_t pieceSize;  // 0: the whole stream at once
        std::vector<Bytes> frames;
    } cases[] = {
        {"two frames in one read", Join({First, Second}), 0, {First, Second}},
        {"one byte at a time", Join({First, Second}), 1, {First, Second}},
        {"pieces of five", Join({Second, First}), 5, {Second, First}},
        {"noise in front", Join({Bytes{0x00, 0x13, 0xBC}, Second}), 0, {Second}},
        {"a bad sum, then a good frame", Join({corrupted, Second}), 0, {Second}},
        {"an oversized header, then a good frame", Join({oversized, First}), 3, {First}},
    };
    for (const auto& c : cases) {
        FrameAssembler assembler;
        std::vector<Bytes> found;
        const std::size_t step = c.pieceSize == 0 ? c.stream.size() : c.pieceSize;
        for (std::size_t at = 0; at < c.stream.size(); at += step) {
            const auto piece =
                std::span(c.stream).subspan(at, std::min(step, c.stream.size() - at));
            for (auto& frame : assembler.Feed(piece)) {
                found.push_back(std::move(frame));
            }
        }
        EXPECT_EQ(found, c.frames) << c.what;
    }
}

TEST(FrameAssembler, GivesUpAPartialFrameAfterAQuietGap) {
    FrameAssembler assembler(std::chrono::milliseconds(100));
    const auto start = FrameAssembler::Clock::now();
    // A lost byte: this header promises more than ever comes.
    EXPECT_TRUE(assembler.Feed(Bytes{0xBC, 0x21, 0x07, 0x00, 0x20}, start).empty());
    const auto found = assembler.Feed(Second, start + std::chrono::milliseconds(150));
    EXPECT_EQ(found, std::vector<Bytes>{Second});
    EXPECT_EQ(assembler.Discarded(), 5u);
}

}  // namespace
}  // namespace vyx::sim::test
