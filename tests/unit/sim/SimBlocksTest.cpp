// The device's stored blocks, checked against the values the tool computes for
// the same records.

#include <gtest/gtest.h>

#include <fstream>

#include "Frame.h"
#include "SimBlocks.h"
#include "ToolEnd.h"

namespace vyx::sim::test {
namespace {

TEST(SimBlocks, RecordsCarryTheirOwnCheckValues) {
    const struct {
        BlockKind kind;
        Trailer checkValue;
    } cases[] = {
        {BlockKind::Defaults, {0x53, 0x00, 0x07, 0xC9, 0xE9}},
        {BlockKind::Preset, {0x10, 0x00, 0x07, 0xC9, 0x4E}},
    };
    for (const auto& c : cases) {
        const ConfigBlock block = MakeBlock(c.kind);
        EXPECT_EQ(TransferTrailer(block), c.checkValue);
        EXPECT_EQ(FrameChecksum(block.data(), 36), ReadBE24(&block[36]));
        EXPECT_TRUE(std::all_of(block.begin() + 39, block.end(), [](auto b) { return b == 0xFF; }));
    }
}

TEST(SimBlocks, CorruptAndBlankBlocksFailTheirChecks) {
    const ConfigBlock corrupt = MakeBlock(BlockKind::Corrupt);
    EXPECT_EQ(corrupt[0], 0xCA);
    EXPECT_NE(FrameChecksum(corrupt.data(), 36), ReadBE24(&corrupt[36]));
    const ConfigBlock blank = MakeBlock(BlockKind::Blank);
    EXPECT_TRUE(std::all_of(blank.begin(), blank.end(), [](auto b) { return b == 0xFF; }));
}

TEST(SimBlocks, TrailerIsXorThenTheBigEndianSum) {
    const Bytes image = {0x01, 0xFF, 0x80, 0x80};
    EXPECT_EQ(TransferTrailer(image), (Trailer{0xFE, 0x00, 0x00, 0x02, 0x00}));
    EXPECT_EQ(TransferTrailer({}), (Trailer{0, 0, 0, 0, 0}));
}

TEST(SimBlocks, ImageDigestIsTheFnv1aOfItsBytes) {
    EXPECT_EQ(ImageDigest({}), 0xCBF29CE484222325ULL);
    EXPECT_EQ(ImageDigest(Bytes{'a'}), 0xAF63DC4C8601EC8CULL);
    EXPECT_EQ(ImageDigest(Bytes{'f', 'o', 'o', 'b', 'a', 'r'}), 0x85944171F73967E8ULL);
}

TEST(SimBlocks, BlockFilesMustHoldExactly2032Bytes) {
    TempFolder folder;
    const struct {
        std::size_t size;
        bool loads;
    } cases[] = {{2032, true}, {2031, false}, {2033, false}, {0, false}};
    for (const auto& c : cases) {
        const std::string path = folder.Path() + "/block" + std::to_string(c.size);
        std::ofstream(path, std::ios::binary) << std::string(c.size, '\x5A');
        ConfigBlock block{};
        std::string error;
        EXPECT_EQ(LoadBlockFile(path, block, error), c.loads) << c.size;
        EXPECT_EQ(error.empty(), c.loads) << error;
        EXPECT_EQ(block[0], c.loads ? 0x5A : 0x00);
    }
    ConfigBlock block{};
    std::string error;
    EXPECT_FALSE(LoadBlockFile(folder.Path() + "/missing", block, error));
    EXPECT_NE(error.find("missing"), std::string::npos);
}

}  // namespace
}  // namespace vyx::sim::test
