#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "DeviceFrames.h"
#include "FakeHost.h"
#include "PackageFrames.h"
#include "ReceiveDispatcher.h"
#include "TransferEngine.h"

namespace vyx {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Indexes = std::vector<std::uint32_t>;

constexpr const char* Success = "Atualização concluída com sucesso!";
const TransferTrailer Trailer = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5};

Bytes Image(std::size_t length) {
    Bytes image(length);
    std::iota(image.begin(), image.end(), std::uint8_t{1});
    return image;
}

std::tm FixedClock() {
    std::tm t{};
    t.tm_mday = 19;
    t.tm_mon = 10;
    t.tm_year = 127;
    t.tm_hour = 21;
    t.tm_min = 53;
    return t;
}

class TransferEngineTest : public ::testing::Test {
protected:
    void Start(std::uint32_t kind, const Bytes& data) {
        engine.SetParameters(kind, data, Trailer);
        engine.TxInit();
    }
    void Ack(std::uint32_t index) { engine.Acknowledge(test::AckPayload(index)); }
    void AckAll() {
        while (host.TimerEnabled(TimerId::Timer1)) {
            Ack(test::ReadPackage(host.Written.back()).Index);
        }
    }
    // Ticks until `count` more packages have gone out (or the timer stopped).
    int TicksUntilSent(std::size_t count) {
        const std::size_t target = host.Written.size() + count;
        int ticks = 0;
        while (host.Written.size() < target && host.TimerEnabled(TimerId::Timer1)) {
            engine.Timer1Timer();
            ++ticks;
        }
        return ticks;
    }

    test::FakeHost host;
    TransferProgress progress;
    std::vector<std::uint32_t> finished;  // kinds reported as done
    TransferEngine engine{host, host, progress,
                          [this](std::uint32_t kind) { finished.push_back(kind); },
                          TransferIdSource(FixedClock, nullptr, [] { return 0u; })};
};

TEST_F(TransferEngineTest, ImageIsCutIntoFortyEightBytePackagesAndATrailer) {
    struct Case {
        std::size_t Length;
        std::uint32_t Count;
        std::size_t LastDataSize;  // data bytes of package Count - 1
    };
    for (const Case& c :
         std::vector<Case>{{0, 1, 0}, {48, 2, 48}, {49, 3, 1}, {2032, 44, 16}, {89268, 1861, 36}}) {
        host.Written.clear();
        const Bytes image = Image(c.Length);
        Start(ConfigTransfer, image);
        EXPECT_EQ(host.ProgressMax, static_cast<int>(c.Count)) << c.Length;
        AckAll();

        ASSERT_EQ(host.Written.size(), c.Count) << c.Length;
        Bytes joined;
        for (std::uint32_t i = 1; i <= c.Count; ++i) {
            const test::Package p = test::ReadPackage(host.Written[i - 1]);
            EXPECT_EQ(p.Index, i);
            EXPECT_EQ(p.Count, c.Count);
            EXPECT_EQ(p.Kind, ConfigTransfer);
            EXPECT_EQ(p.Id, engine.TxId());
            if (i < c.Count) {
                EXPECT_EQ(p.Data.size(), i + 1 < c.Count ? 48 : c.LastDataSize) << i;
                joined.insert(joined.end(), p.Data.begin(), p.Data.end());
            } else {
                EXPECT_EQ(p.Data, Bytes(Trailer.begin(), Trailer.end()));
            }
        }
        EXPECT_EQ(joined, image) << c.Length;
        EXPECT_EQ(host.LogTexts().back(), Success);
    }
}

TEST_F(TransferEngineTest, SilenceResendsAtThreeFiveSevenAndFailsAtTenWithTheCounters) {
    const Bytes image = Image(100);
    Start(FirmwareTransfer, image);
    Ack(1);
    progress.Code10 = 2;  // counters of the receive path show in the message
    progress.Code15 = 3;
    progress.Code20 = 4;
    std::vector<int> sentAtTick;
    for (int tick = 1; tick <= 12; ++tick) {
        const std::size_t before = host.Written.size();
        engine.Timer1Timer();
        if (host.Written.size() > before) {
            sentAtTick.push_back(tick);
        }
    }
    EXPECT_EQ(sentAtTick, (std::vector<int>{3, 5, 7}));
    EXPECT_EQ(test::SentIndexes(host), (Indexes{1, 2, 2, 2, 2}));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Caption, "ERRO #0x02");
    EXPECT_EQ(
        host.Messages[0].Text,
        "A operação não foi concluida!\r\nNacks = 0\r\nCode10 = 2\r\nCode15 = 3\r\nCode20 = 4");
    EXPECT_EQ(host.Messages[0].Icon, MsgIcon::None);
    EXPECT_EQ(host.Messages[0].Buttons, MsgButtons::Ok);
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer1));
    EXPECT_EQ(host.Progress, 0);
}

TEST_F(TransferEngineTest, TenNacksInOnePeriodFailTheFirstPackageAfterFourSendings) {
    const Bytes image = Image(100);
    Start(FirmwareTransfer, image);
    for (int i = 0; i < 10; ++i) {
        engine.NegativeAcknowledge();
    }
    EXPECT_EQ(test::SentIndexes(host), (Indexes{1, 1, 1, 1}));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(
        host.Messages[0].Text,
        "A operação não foi concluida!\r\nNacks = 10\r\nCode10 = 0\r\nCode15 = 0\r\nCode20 = 0");
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer1));
}

TEST_F(TransferEngineTest, AcknowledgementOfAnotherIndexResendsAtOnceAndRestartsTheWait) {
    const Bytes image = Image(200);
    Start(ConfigTransfer, image);
    Ack(1);
    Ack(2);
    engine.Timer1Timer();
    engine.Timer1Timer();
    for (std::uint32_t stale : {0u, 1u, 2u}) {
        Ack(stale);
        EXPECT_EQ(progress.TxIdleTicks, 0);
    }
    EXPECT_EQ(test::SentIndexes(host), (Indexes{1, 2, 3, 3, 3, 3}));
    EXPECT_EQ(TicksUntilSent(1), 3);  // the wait for the next resend starts over
    EXPECT_EQ(progress.Nacks, 0);
}

TEST_F(TransferEngineTest, IndexAtOrAboveTheCountCompletesAtOnce) {
    const Bytes image = Image(200);  // 6 packages
    Start(ConfigTransfer, image);
    Ack(6);
    EXPECT_EQ(host.LogTexts(), (std::vector<std::string>{"Iniciando atualização...", Success}));
    EXPECT_EQ(finished, (std::vector<std::uint32_t>{ConfigTransfer}));
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer1));
    EXPECT_EQ(host.Progress, 0);
}

TEST_F(TransferEngineTest, ProgressLinesNameTheKindWhenPackageOneIsAcknowledged) {
    struct Case {
        std::uint32_t Kind;
        std::size_t Length;
        std::vector<std::string> Log;
    };
    const std::vector<Case> cases = {
        {FirmwareTransfer,
         60,
         {"Iniciando atualização...", "Atualizando firmware...", Success, ""}},
        {ConfigTransfer, 60, {"Iniciando atualização...", "Atualizando configuração...", Success}},
        {ConfigTransfer, 0, {"Iniciando atualização...", Success}},  // one package only
    };
    for (const Case& c : cases) {
        host.Lines.clear();
        const Bytes image = Image(c.Length);
        Start(c.Kind, image);
        AckAll();
        EXPECT_EQ(host.LogTexts(), c.Log) << c.Kind << "/" << c.Length;
    }
}

TEST_F(TransferEngineTest, ClosedPortShowsNoConnectionAndSendsNothing) {
    host.Open = false;
    const Bytes image = Image(100);
    Start(FirmwareTransfer, image);
    EXPECT_TRUE(host.Written.empty());
    EXPECT_TRUE(host.Lines.empty());
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text, "Não há conexão ativa!");
    EXPECT_EQ(host.Messages[0].Caption, "ERRO #0x01");
    EXPECT_FALSE(host.TimerEnabled(TimerId::Timer1));
}

TEST_F(TransferEngineTest, AcknowledgementWithoutATransferUnderWayChangesNothing) {
    Ack(0);  // before any transfer: the package count is 0
    Ack(7);
    EXPECT_TRUE(host.Lines.empty());
    EXPECT_TRUE(finished.empty());
    EXPECT_EQ(progress.TxAckedIndex, 0);

    const Bytes image = Image(100);
    Start(ConfigTransfer, image);
    progress.LastStarted = TransferProgress::Exchange::Read;  // a configuration read began
    host.Lines.clear();
    Ack(99);
    EXPECT_TRUE(host.Lines.empty());
    EXPECT_TRUE(finished.empty());
}

TEST_F(TransferEngineTest, AcknowledgementTooShortForAnIndexIsIgnored) {
    const Bytes image = Image(100);
    Start(ConfigTransfer, image);
    engine.Acknowledge(Bytes{0x07});
    EXPECT_EQ(progress.TxAckedIndex, NothingAcknowledged);
    EXPECT_EQ(test::SentIndexes(host), (Indexes{1}));
}

TEST_F(TransferEngineTest, ReplyInsideASendsEventPumpMovesOnAtOnce) {
    const Bytes image = Image(200);
    // An acknowledgement handled while package 1 is written runs a nested tick that
    // sends package 2 at once; it is not wiped out by the tick that wrote package 1.
    host.OnPump = [this] { Ack(1); };
    Start(ConfigTransfer, image);
    EXPECT_EQ(test::SentIndexes(host), (Indexes{1, 2}));
    EXPECT_TRUE(host.TimerEnabled(TimerId::Timer1));

    // A stale acknowledgement resends package 2; the reply to it, handled inside that
    // resend's event pump, sends package 3.
    host.OnPump = [this] { Ack(2); };
    Ack(1);
    EXPECT_EQ(test::SentIndexes(host), (Indexes{1, 2, 2, 3}));
    EXPECT_EQ(progress.TxPackageIndex, 3u);
    EXPECT_EQ(progress.TxIdleTicks, 0);
    EXPECT_FALSE(progress.TxAckReceived);
}

TEST_F(TransferEngineTest, TimerTickInsideASendsEventPumpDoesNotSendTwice) {
    const Bytes image = Image(200);
    Start(ConfigTransfer, image);
    // The acknowledgement of package 1 sends package 2; a timer tick that fires while
    // package 2 is written finds nothing acknowledged and only counts an idle tick.
    host.OnPump = [this] { engine.Timer1Timer(); };
    Ack(1);
    EXPECT_EQ(test::SentIndexes(host), (Indexes{1, 2}));
    EXPECT_EQ(progress.TxIdleTicks, 1);
}

TEST_F(TransferEngineTest, TwoTransfersInARowUseDifferentShifts) {
    const Bytes image = Image(10);
    Start(ConfigTransfer, image);
    const std::uint32_t first = engine.TxId();
    Start(ConfigTransfer, image);
    EXPECT_EQ(first, 5160u);
    EXPECT_EQ(engine.TxId(), 2580u);
    EXPECT_EQ(test::ReadPackage(host.Written.back()).Id, 2580u);
}

}  // namespace
}  // namespace vyx
