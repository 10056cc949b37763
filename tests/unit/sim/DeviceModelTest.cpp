// The device's answers, frame by frame, without a line in between.

#include <gtest/gtest.h>

#include "DeviceModel.h"
#include "Frame.h"
#include "ToolEnd.h"

namespace vyx::sim::test {
namespace {

constexpr std::uint32_t Base = 0x2000;

Bytes ReadRequest(std::uint32_t address, std::uint32_t count) {
    Bytes payload;
    AppendBE32(payload, address);
    AppendBE16(payload, count);
    return EncodeFrame(ReadCode, payload);
}

Bytes Package(std::uint8_t kind, std::uint16_t id, std::uint16_t index, std::uint16_t count,
              std::span<const std::uint8_t> data) {
    return EncodeFrame(kind, PackagePayload(id, index, count, data));
}

// Every package of an image, the trailer last.
std::vector<Bytes> Packages(std::uint8_t kind, std::span<const std::uint8_t> image,
                            const Trailer& trailer, std::uint16_t id = 7) {
    const auto count = static_cast<std::uint16_t>((image.size() + 47) / 48 + 1);
    std::vector<Bytes> frames;
    for (std::size_t at = 0; at < image.size(); at += 48) {
        frames.push_back(Package(kind, id, static_cast<std::uint16_t>(frames.size() + 1), count,
                                 image.subspan(at, std::min<std::size_t>(48, image.size() - at))));
    }
    frames.push_back(Package(kind, id, count, count, trailer));
    return frames;
}

class DeviceModelTest : public ::testing::Test {
protected:
    DeviceModelTest() { options.configBase = Base; }
    DeviceModel::Outcome Handle(const Bytes& frame) { return model.HandleFrame(frame); }
    // The code of the single reply, or 0 when there is none.
    std::uint8_t ReplyCode(const Bytes& frame) {
        const auto outcome = Handle(frame);
        return outcome.replies.size() == 1 ? outcome.replies[0][2] : 0;
    }

    SimOptions options;
    DeviceModel model{options};
};

TEST(FaultPattern, HitsTheFirstRequestsAndEveryNth) {
    const struct {
        FaultPattern pattern;
        std::vector<std::uint64_t> hit;
    } cases[] = {
        {{0, 0}, {}},
        {{3, 0}, {3, 6, 9}},
        {{0, 2}, {1, 2}},
        {{4, 1}, {1, 4, 8}},
    };
    for (const auto& c : cases) {
        std::vector<std::uint64_t> hit;
        for (std::uint64_t n = 1; n <= 9; ++n) {
            if (c.pattern.Hits(n)) {
                hit.push_back(n);
            }
        }
        EXPECT_EQ(hit, c.hit) << "every " << c.pattern.every << " first " << c.pattern.first;
    }
}

TEST_F(DeviceModelTest, MemoryReadsStayInsideTheBlock) {
    const struct {
        std::uint32_t address;
        std::uint32_t asked;
        std::size_t replied;  // data bytes; 0 means refused
    } cases[] = {
        {Base, 500, 500},    {Base + 2000, 500, 32}, {Base + 2031, 1, 1},
        {Base + 2032, 1, 0}, {Base - 1, 10, 0},      {Base, 0, 0},
        {Base, 1013, 1013},  {Base, 1014, 0},        {0xFFFFFFFF, 2, 0},
    };
    for (const auto& c : cases) {
        const auto outcome = Handle(ReadRequest(c.address, c.asked));
        ASSERT_EQ(outcome.replies.size(), 1u);
        const Bytes& reply = outcome.replies[0];
        if (c.replied == 0) {
            EXPECT_EQ(reply[2], NackCode) << std::hex << c.address << " +" << std::dec << c.asked;
            continue;
        }
        ASSERT_EQ(reply[2], ReadCode);
        EXPECT_EQ(ReadBE16(&reply[3]), 6 + c.replied);
        EXPECT_EQ(ReadBE16(&reply[9]), c.replied);
        EXPECT_EQ(reply.size(), FrameOverhead + 6 + c.replied);
    }
}

TEST_F(DeviceModelTest, MalformedPackagesAreRefused) {
    const Bytes full(48, 0x11), tooLong(49, 0x11), trailer(4, 0);
    const struct {
        const char* what;
        std::uint16_t index, count;
        const Bytes& data;
    } cases[] = {
        {"index 0", 0, 3, full},
        {"index above the count", 4, 3, full},
        {"49 data bytes", 1, 3, tooLong},
        {"no data", 1, 3, Bytes()},
        {"a trailer of 4 bytes", 3, 3, trailer},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReplyCode(Package(ConfigCode, 1, c.index, c.count, c.data)), NackCode) << c.what;
    }
    EXPECT_EQ(ReplyCode(EncodeFrame(ConfigCode, Bytes{0, 1, 0, 1})), NackCode) << "no header";
}

TEST_F(DeviceModelTest, AcknowledgesEachPackageWithItsIndexAndCountsResends) {
    const Bytes data(48, 0x22);
    for (const std::uint16_t index : {1, 2, 2, 1}) {
        const auto outcome = Handle(Package(ConfigCode, 9, index, 44, data));
        ASSERT_EQ(outcome.replies.size(), 1u);
        EXPECT_EQ(outcome.replies[0][2], AckCode);
        EXPECT_EQ(ReadBE16(&outcome.replies[0][5]), index);
    }
    EXPECT_EQ(model.Status().resendsSeen, 2u);
    // A new transfer identifier starts a new transfer: its package 1 is no resend.
    Handle(Package(ConfigCode, 10, 1, 44, data));
    EXPECT_EQ(model.Status().resendsSeen, 2u);
}

TEST_F(DeviceModelTest, FinishedTransfersAreKeptOnlyWhenWholeAndOfTheirSize) {
    const ConfigBlock preset = MakeBlock(BlockKind::Preset);
    const Bytes shortImage(100, 0x33);
    const Bytes firmware = MakeFirmwareImage();
    auto missing = Packages(ConfigCode, preset, CheckValue(preset));
    missing.erase(missing.begin() + 5);
    const struct {
        const char* what;
        std::vector<Bytes> frames;
    } cases[] = {
        {"a package missing", missing},
        {"a configuration of 100 bytes", Packages(ConfigCode, shortImage, CheckValue(shortImage))},
        {"a firmware image of 100 bytes",
         Packages(FirmwareCode, shortImage, CheckValue(shortImage))},
        {"a configuration with another check value",
         Packages(ConfigCode, preset, CheckValue(shortImage))},
        {"a firmware image with another check value",
         Packages(FirmwareCode, firmware, CheckValue(shortImage))},
    };
    for (const auto& c : cases) {
        std::uint8_t last = 0;
        for (const auto& frame : c.frames) {
            last = ReplyCode(frame);
        }
        EXPECT_EQ(last, NackCode) << c.what;
    }
    EXPECT_EQ(model.Status().imagesRejected, 5u);
    EXPECT_EQ(model.Status().block, MakeBlock(BlockKind::Defaults));
    EXPECT_FALSE(model.Status().restarting);
}

TEST_F(DeviceModelTest, AResentLastPackageIsAnsweredAgain) {
    const ConfigBlock preset = MakeBlock(BlockKind::Preset);
    const auto frames = Packages(ConfigCode, preset, CheckValue(preset));
    for (const auto& frame : frames) {
        ReplyCode(frame);
    }
    EXPECT_EQ(ReplyCode(frames.back()), AckCode);  // its acknowledgement was lost on the way
    EXPECT_EQ(model.Status().block, preset);
}

TEST_F(DeviceModelTest, FirmwareRestartIgnoresTheToolUntilItEnds) {
    options.version = {41, 1, 1, 0};
    DeviceModel old(options);
    const Bytes image = MakeFirmwareImage();
    bool restart = false;
    for (const auto& frame : Packages(FirmwareCode, image, CheckValue(image))) {
        restart = old.HandleFrame(frame).restart;
    }
    ASSERT_TRUE(restart);
    EXPECT_TRUE(old.HandleFrame(ReadRequest(Base, 4)).replies.empty());
    EXPECT_EQ(old.Status().framesIgnored, 1u);
    old.FinishRestart();
    EXPECT_EQ(old.Status().version, (std::array<std::uint8_t, 4>{41, 1, 2, 39}));
    EXPECT_FALSE(old.Status().spokenTo);
    const auto outcome = old.HandleFrame(ReadRequest(Base, 4));
    ASSERT_EQ(outcome.replies.size(), 1u);
    EXPECT_EQ(outcome.replies[0][2], ReadCode);
}

TEST_F(DeviceModelTest, FaultsHitTheChosenRequests) {
    options.drop.first = 1;
    options.nack.every = 3;
    options.corrupt.every = 4;
    const Bytes request = ReadRequest(Base, 8);
    // Request 1 is lost and does not count as being spoken to.
    EXPECT_TRUE(Handle(request).replies.empty());
    EXPECT_FALSE(model.Status().spokenTo);
    EXPECT_EQ(ReplyCode(request), ReadCode);
    EXPECT_EQ(ReplyCode(request), NackCode);
    const auto corrupted = Handle(request);
    ASSERT_EQ(corrupted.replies.size(), 1u);
    const Bytes& reply = corrupted.replies[0];
    EXPECT_NE(FrameChecksum(reply.data(), reply.size() - 3), ReadBE24(&reply[reply.size() - 3]));
    const SimStatus& status = model.Status();
    EXPECT_EQ(status.requestsSeen, 4u);
    EXPECT_EQ(status.requestsDropped, 1u);
    EXPECT_EQ(status.repliesCorrupted, 1u);
}

TEST_F(DeviceModelTest, LineFaultsReshapeTheChosenReplies) {
    options.misaddressed.first = 1;
    options.stray.every = 2;
    options.restartAtRead = 3;
    options.delayed.first = 1;
    options.delayedBy = std::chrono::milliseconds(550);
    const Bytes request = ReadRequest(Base, 1);
    // Default block byte 0 answers a one-byte read of the base.
    const std::uint8_t first = options.block[0];
    const auto sum = [](Bytes frame) {
        const std::uint32_t s = FrameChecksum(frame.data(), frame.size());
        frame.push_back(static_cast<std::uint8_t>(s >> 16));
        frame.push_back(static_cast<std::uint8_t>(s >> 8));
        frame.push_back(static_cast<std::uint8_t>(s));
        return frame;
    };
    const Bytes body = {0x00, 0x00, 0x20, 0x00, 0x00, 0x01, first};

    const auto misaddressed = Handle(request);
    Bytes expected = {0xBC, 0x13, ReadCode, 0x00, 0x07};
    expected.insert(expected.end(), body.begin(), body.end());
    ASSERT_EQ(misaddressed.replies.size(), 1u);
    EXPECT_EQ(misaddressed.replies[0], sum(expected));
    EXPECT_EQ(misaddressed.delay, std::chrono::milliseconds(550));

    const auto stray = Handle(request);
    expected[1] = 0x12;
    ASSERT_EQ(stray.replies.size(), 2u);
    EXPECT_EQ(stray.replies[0], (Bytes{0xBC, 0xFF, 0xFF, 0x00, 0x55, 0xAA, 0x00}));
    EXPECT_EQ(stray.replies[1], sum(expected));
    EXPECT_EQ(stray.delay, std::chrono::milliseconds(0));

    const auto restart = Handle(request);
    EXPECT_TRUE(restart.replies.empty());
    EXPECT_TRUE(restart.restart);
    EXPECT_TRUE(model.Status().restarting);

    const SimStatus& status = model.Status();
    EXPECT_EQ(status.repliesMisaddressed, 1u);
    EXPECT_EQ(status.strayRuns, 1u);
    EXPECT_EQ(status.restartsMidRead, 1u);
}

TEST_F(DeviceModelTest, HangsUpAtTheChosenMemoryRead) {
    options.hangUpAtRead = 2;
    const Bytes request = ReadRequest(Base, 1);
    EXPECT_FALSE(Handle(request).hangUp);
    const auto second = Handle(request);
    EXPECT_TRUE(second.hangUp);
    EXPECT_TRUE(second.replies.empty());
}

TEST_F(DeviceModelTest, FramesForAnotherReceiverAreIgnored) {
    Bytes frame = ReadRequest(Base, 4);
    frame[1] = 0x12;  // the device's own address byte: meant for the tool
    const std::uint32_t sum = FrameChecksum(frame.data(), frame.size() - 3);
    frame[frame.size() - 1] = static_cast<std::uint8_t>(sum);
    EXPECT_TRUE(Handle(frame).replies.empty());
    EXPECT_EQ(model.Status().framesForOthers, 1u);
    EXPECT_FALSE(model.Status().spokenTo);
}

}  // namespace
}  // namespace vyx::sim::test
