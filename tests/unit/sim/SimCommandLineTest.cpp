// The program's options: each one lands in its field, and each mistake is named.

#include <gtest/gtest.h>

#include <fstream>

#include "SimCommandLine.h"
#include "ToolEnd.h"

namespace vyx::sim::test {
namespace {

std::optional<CommandLine> Parse(std::vector<std::string> args, std::string& error) {
    return ParseCommandLine(args, error);
}

TEST(SimCommandLine, OptionsSetTheirFields) {
    std::string error;
    const auto line = Parse({"--version",
                             "3.0.2.38",
                             "--id",
                             "3,2,FFFFFFFF",
                             "--config-base",
                             "0x0800F000",
                             "--mode",
                             "operating",
                             "--operating-frame",
                             "--config",
                             "corrupt",
                             "--delay-ms",
                             "15",
                             "--drop-every",
                             "5",
                             "--drop-first",
                             "2",
                             "--nack-every",
                             "7",
                             "--corrupt-first",
                             "1",
                             "--chunk",
                             "64",
                             "--chunk-gap-us",
                             "1000",
                             "--hangup-after",
                             "20",
                             "--name",
                             "bench",
                             "--announce-ms",
                             "100",
                             "--quiet"},
                            error);
    ASSERT_TRUE(line) << error;
    const SimOptions& o = line->options;
    EXPECT_EQ(o.version, (std::array<std::uint8_t, 4>{3, 0, 2, 38}));
    EXPECT_EQ(o.id, (std::array<std::uint32_t, 3>{3, 2, 0xFFFFFFFF}));
    EXPECT_EQ(o.configBase, 0x0800F000u);
    EXPECT_TRUE(o.operatingMode);
    EXPECT_TRUE(o.operatingFrame);
    EXPECT_EQ(o.block, MakeBlock(BlockKind::Corrupt));
    EXPECT_EQ(o.replyDelay, 15ms);
    EXPECT_EQ(o.drop.every, 5u);
    EXPECT_EQ(o.drop.first, 2u);
    EXPECT_EQ(o.nack.every, 7u);
    EXPECT_EQ(o.corrupt.first, 1u);
    EXPECT_EQ(o.chunkSize, 64u);
    EXPECT_EQ(o.chunkGap, std::chrono::microseconds(1000));
    EXPECT_EQ(o.hangUpAfterPackage, 20u);
    EXPECT_EQ(o.linkName, "bench");
    EXPECT_EQ(o.announceInterval, 100ms);
    EXPECT_TRUE(line->quiet);
    EXPECT_FALSE(line->help);
}

TEST(SimCommandLine, HelpExplainsEveryOption) {
    std::string error;
    const auto line = Parse({"--help"}, error);
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->help);
    const std::string help = HelpText;
    for (const char* option :
         {"--name",          "--port-folder",   "--version",         "--id",
          "--config-base",   "--mode",          "--operating-frame", "--announce-ms",
          "--restart-ms",    "--config",        "--config-file",     "--delay-ms",
          "--drop-every",    "--drop-first",    "--nack-every",      "--nack-first",
          "--corrupt-every", "--corrupt-first", "--chunk",           "--chunk-gap-us",
          "--hangup-after",  "--quiet"}) {
        EXPECT_NE(help.find(std::string("  ") + option + " "), std::string::npos) << option;
    }
}

TEST(SimCommandLine, MistakesAreRefusedWithTheirCause) {
    TempFolder folder;
    const std::string shortFile = folder.Path() + "/short.bin";
    std::ofstream(shortFile, std::ios::binary) << std::string(100, '\0');
    const struct {
        std::vector<std::string> args;
        const char* mentions;
    } cases[] = {
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"stray"}, "unexpected argument"},
        {{"--version"}, "needs a value"},
        {{"--version", "3.0.2"}, "--version"},
        {{"--version", "3.0.2.256"}, "--version"},
        {{"--version", "3.0.2.38.1"}, "--version"},
        {{"--id", "1,2"}, "--id"},
        {{"--id", "1,2,123456789"}, "--id"},
        {{"--id", "1,2,G"}, "--id"},
        {{"--config-base", "0x1_0000"}, "--config-base"},
        {{"--config-base", "4294967296"}, "--config-base"},
        {{"--mode", "sleeping"}, "service or operating"},
        {{"--config", "factory"}, "defaults, preset, corrupt or blank"},
        {{"--config", "blank", "--config", "preset"}, "once"},
        {{"--config-file", shortFile}, "it holds 100"},
        {{"--config-file", folder.Path() + "/none"}, "cannot read"},
        {{"--chunk", "0"}, "--chunk"},
        {{"--delay-ms", "-5"}, "--delay-ms"},
        {{"--drop-every", "many"}, "--drop-every"},
        {{"--announce-ms", "0"}, "--announce-ms"},
        {{"--hangup-after", "65536"}, "--hangup-after"},
        {{"--name", "a/b"}, "plain file name"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(Parse(c.args, error)) << c.args[0];
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.args[0] << ": " << error;
    }
}

}  // namespace
}  // namespace vyx::sim::test
