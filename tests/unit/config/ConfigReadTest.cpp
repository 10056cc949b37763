#include <gtest/gtest.h>

#include <ostream>

#include "ConfigRead.h"
#include "EditorChecks.h"
#include "EditorPresets.h"
#include "FakeConfigHost.h"
#include "FakeHost.h"
#include "Frame.h"

namespace vyx {
namespace {

constexpr std::uint32_t Base = 0x08010000;

struct Request {
    std::uint32_t Address;
    std::uint16_t Size;
    bool operator==(const Request&) const = default;
};

std::vector<std::uint8_t> Reply(std::uint32_t address, std::uint16_t count,
                                std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> payload;
    AppendBE32(payload, address);
    AppendBE16(payload, count);
    payload.insert(payload.end(), data.begin(), data.end());
    return payload;
}

ConfigImage ImageOf(const EditorSnapshot& editor) {
    return EncodeConfigImage(ValuesFromSnapshot(editor).value()).Image;
}

class ConfigReadTest : public ::testing::Test {
protected:
    // The requests written so far, taken apart.
    std::vector<Request> Requests() const {
        std::vector<Request> out;
        for (const auto& frame : host.Written) {
            EXPECT_EQ(frame.size(), 14u);
            EXPECT_EQ(frame[2], static_cast<std::uint8_t>(MessageCode::MemoryRead));
            out.push_back({ReadBE32(&frame[5]), ReadBE16(&frame[9])});
        }
        return out;
    }

    // Plays a device that answers every request at once from `device`.
    void AnswerFrom(const ConfigImage& device) {
        for (std::size_t answered = 0; answered < host.Written.size();) {
            const auto frame = host.Written[answered++];
            const std::uint32_t offset = ReadBE32(&frame[5]) - Base;
            const std::uint16_t size = ReadBE16(&frame[9]);
            read.HandleReply(Reply(Base + offset, size, {device.data() + offset, size}));
        }
    }

    test::FakeHost host;
    test::FakeConfigHost editor;
    TransferProgress progress;
    std::vector<ConfigCheckValues> writes;
    ConfigWrite write{host, editor,
                      [this](std::span<const std::uint8_t>, const ConfigCheckValues& check) {
                          writes.push_back(check);
                      }};
    ConfigRead read{host, host, editor, progress, write, [] { return Base; }};
};

TEST_F(ConfigReadTest, FiveRequestsCoverTheBlockAndAGoodBlockFillsTheEditor) {
    editor.Editor = CalveraSnapshot();
    read.B_GetConfigClick();
    EXPECT_EQ(progress.LastStarted, TransferProgress::Exchange::Read);
    EXPECT_EQ(editor.ListClears, 1);
    EXPECT_EQ(host.ProgressMax, 5);
    AnswerFrom(ImageOf(DefaultsSnapshot()));

    EXPECT_EQ(Requests(), (std::vector<Request>{{Base, 500},
                                                {Base + 500, 500},
                                                {Base + 1000, 500},
                                                {Base + 1500, 500},
                                                {Base + 2000, 32}}));
    EXPECT_EQ(host.ProgressHistory, (std::vector<int>{2, 3, 4, 5, 0}));
    EXPECT_EQ(host.LogTexts(),
              (std::vector<std::string>{"Buscando configuração interna...",
                                        "Leitura da configuração interna concluída!"}));
    EXPECT_TRUE(editor.WriteEnabled);
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer3));
    EXPECT_EQ(editor.Editor, DefaultsSnapshot());
    EXPECT_TRUE(writes.empty());
}

TEST_F(ConfigReadTest, SilentDeviceGetsFourSendingsThenTheReadFails) {
    read.B_GetConfigClick();
    for (int tick = 0; tick < 10; ++tick) {
        read.Timer3Timer();
    }
    EXPECT_EQ(Requests(), std::vector<Request>(4, Request{Base, 500}));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text, "A operação não pode ser concluida!");
    EXPECT_EQ(host.Messages[0].Caption, "ERRO #0x04");
    EXPECT_EQ(host.Messages[0].Icon, MsgIcon::Warning);
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer3));
    EXPECT_FALSE(editor.WriteEnabled);
}

TEST_F(ConfigReadTest, DuplicateReplyResendsTheAwaitedRequestAtOnce) {
    const ConfigImage device = ImageOf(DefaultsSnapshot());
    read.B_GetConfigClick();
    read.HandleReply(Reply(Base, 500, {device.data(), 500}));
    read.HandleReply(Reply(Base + 500, 500, {device.data() + 500, 500}));
    read.HandleReply(Reply(Base + 500, 500, {device.data() + 500, 500}));
    const auto requests = Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[2], (Request{Base + 1000, 500}));
    EXPECT_EQ(requests[3], (Request{Base + 1000, 500}));
    EXPECT_EQ(progress.TxIdleTicks, 0);
}

TEST_F(ConfigReadTest, ClosedPortSendsNoRequest) {
    host.Open = false;
    read.B_GetConfigClick();
    EXPECT_TRUE(host.Written.empty());
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Caption, "ERRO #0x03");
    EXPECT_EQ(host.Messages[0].Icon, MsgIcon::None);
}

TEST_F(ConfigReadTest, ReplyBeforeAnyReadChangesNothing) {
    const ConfigImage device = ImageOf(DefaultsSnapshot());
    read.HandleReply(Reply(Base + 2000, 32, {device.data() + 2000, 32}));
    EXPECT_EQ(read.Received(), ConfigImage{});
    EXPECT_TRUE(host.Lines.empty());
    EXPECT_TRUE(host.ProgressHistory.empty());
    EXPECT_TRUE(editor.Applied.empty());
    EXPECT_TRUE(writes.empty());
}

TEST_F(ConfigReadTest, ReplyAfterATransferStartedLeavesItsProgressAlone) {
    read.B_GetConfigClick();
    progress.LastStarted = TransferProgress::Exchange::Transfer;
    progress.TxPackageCount = 44;
    progress.TxPackageIndex = 5;
    progress.TxAckedIndex = 4;
    const std::vector<std::uint8_t> data(500, 0x11);
    read.HandleReply(Reply(Base + 2000, 500, data));
    EXPECT_EQ(progress.TxAckedIndex, 4);
    EXPECT_FALSE(progress.TxAckReceived);
    EXPECT_EQ(read.Received(), ConfigImage{});
}

TEST_F(ConfigReadTest, LateLastReplyCompletesAgainAndRepairsWithDefaults) {
    const ConfigImage device = ImageOf(DefaultsSnapshot());
    read.B_GetConfigClick();
    AnswerFrom(device);
    ASSERT_TRUE(editor.WriteEnabled);
    host.Lines.clear();
    // After the read ended: a stray reply spoils the marker, then the last one
    // arrives again.
    read.HandleReply(Reply(Base, 4, std::vector<std::uint8_t>(4, 0x00)));
    EXPECT_TRUE(writes.empty());
    read.HandleReply(Reply(Base + 2000, 32, {device.data() + 2000, 32}));
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(host.LogTexts(), (std::vector<std::string>{"Configuração inválida!",
                                                         "Preparando configuração padrão..."}));
}

// Reply bounds: which bytes land where, and whether the reply counts.
struct Bounds {
    const char* Name;
    std::int64_t Offset;   // of the reply's address from the block's base
    std::uint16_t Count;   // byte count the reply claims
    std::size_t Carried;   // data bytes the payload really holds
    std::size_t StoredAt;  // first block offset expected to change
    std::size_t Stored;    // how many bytes expected to change
    std::int32_t Acked;    // TxAckedIndex afterwards (NothingAcknowledged: not counted)
};
void PrintTo(const Bounds& p, std::ostream* os) {
    *os << p.Name;
}

class ReplyBoundsTest : public ConfigReadTest, public ::testing::WithParamInterface<Bounds> {};

TEST_P(ReplyBoundsTest, StoresOnlyInsideTheBlockAndWhatThePayloadHolds) {
    const Bounds& b = GetParam();
    read.B_GetConfigClick();
    const std::vector<std::uint8_t> data(b.Carried, 0xA5);
    read.HandleReply(Reply(static_cast<std::uint32_t>(Base + b.Offset), b.Count, data));

    ConfigImage expected{};
    std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(b.StoredAt), b.Stored, 0xA5);
    EXPECT_EQ(read.Received(), expected);
    EXPECT_EQ(progress.TxAckedIndex, b.Acked);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyBoundsTest,
    ::testing::Values(Bounds{"Whole", 500, 500, 500, 500, 500, 2},
                      Bounds{"ShortReplyStillCounts", 1000, 500, 100, 1000, 100, 3},
                      Bounds{"CountBeyondPayload", 0, 500, 10, 0, 10, 1},
                      Bounds{"RunsPastTheEnd", 2000, 500, 500, 2000, 32, 5},
                      Bounds{"StartsBeforeTheBlock", -4, 10, 10, 0, 6, 1},
                      Bounds{"WhollyAfterTheBlock", 2032, 500, 500, 0, 0, NothingAcknowledged},
                      Bounds{"FarAway", 0x40000000, 500, 500, 0, 0, NothingAcknowledged},
                      Bounds{"WhollyBeforeTheBlock", -500, 500, 500, 0, 0, NothingAcknowledged},
                      Bounds{"EmptyReplyInsideCounts", 1500, 0, 0, 0, 0, 4}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ConfigReadTest, WhollyOutsideReplyDoesNotMoveTheReadOn) {
    read.B_GetConfigClick();
    read.HandleReply(Reply(Base + 5000, 4, std::vector<std::uint8_t>(4, 1)));
    EXPECT_EQ(host.Written.size(), 1u);
    EXPECT_TRUE(host.ProgressHistory.empty());
}

TEST_F(ConfigReadTest, PayloadShorterThanItsHeaderIsIgnored) {
    read.B_GetConfigClick();
    const std::vector<std::uint8_t> payload = {0x08, 0x01, 0x00, 0x00, 0x01};
    read.HandleReply(payload);
    EXPECT_EQ(progress.TxAckedIndex, NothingAcknowledged);
}

struct Repair {
    const char* Name;
    bool Calvera;
    ConfigImage (*Device)();
    const char* Preparing;
    EditorSnapshot (*Written)();
    ConfigCheckValues CheckValues;
};
void PrintTo(const Repair& p, std::ostream* os) {
    *os << p.Name;
}

class ConfigRepairTest : public ConfigReadTest, public ::testing::WithParamInterface<Repair> {};

TEST_P(ConfigRepairTest, RejectedBlockIsReplacedAndWrittenAtOnce) {
    const Repair& r = GetParam();
    editor.Calvera = r.Calvera;
    read.B_GetConfigClick();
    AnswerFrom(r.Device());

    const auto log = host.LogTexts();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], "Configuração inválida!");
    EXPECT_EQ(log[2], r.Preparing);
    EXPECT_EQ(host.Lines[1].Colour, LogRed);
    EXPECT_EQ(host.Colour[LogPane::Log], LogRed);
    EXPECT_EQ(editor.Editor, r.Written());
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0], r.CheckValues);
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_FALSE(editor.WriteEnabled);
}

INSTANTIATE_TEST_SUITE_P(Blocks, ConfigRepairTest,
                         ::testing::Values(Repair{"DefaultsUnderCalvera",
                                                  true,
                                                  [] { return ImageOf(DefaultsSnapshot()); },
                                                  "Preparando configuração Calvera...",
                                                  &CalveraSnapshot,
                                                  {0x10, 0x00, 0x07, 0xC9, 0x4E}},
                                           Repair{"BadSumWithoutCalvera",
                                                  false,
                                                  [] {
                                                      ConfigImage image =
                                                          ImageOf(CalveraSnapshot());
                                                      image[38] ^= 1;
                                                      return image;
                                                  },
                                                  "Preparando configuração padrão...",
                                                  &DefaultsSnapshot,
                                                  {0x53, 0x00, 0x07, 0xC9, 0xE9}}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace vyx
