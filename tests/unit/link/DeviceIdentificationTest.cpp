#include <gtest/gtest.h>

#include <vector>

#include "DeviceFrames.h"
#include "FakeHost.h"
#include "FakeReceiveTarget.h"
#include "ReceiveDispatcher.h"

namespace vyx {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

constexpr const char* UpToDate = "O Vyx está atualizado!";
constexpr const char* Discontinued =
    "Essa versão do vyx está descontinuada, entre em contato com a Orvanel para mais "
    "informações!";

class DeviceIdentificationTest : public ::testing::Test {
protected:
    void Receive(const Bytes& bytes) {
        host.Incoming.insert(host.Incoming.end(), bytes.begin(), bytes.end());
        dispatcher.VCPRxChar(static_cast<int>(bytes.size()));
    }
    DeviceIdentification& identification() { return dispatcher.Identification(); }

    test::FakeHost host;
    TransferProgress progress;
    test::FakeReceiveTarget target;
    ReceiveDispatcher dispatcher{host, host, progress, target};
};

TEST_F(DeviceIdentificationTest, VersionDecidesBetweenUploadReadAndNothing) {
    struct Case {
        DeviceVersion Version;
        int Uploads;
        int Reads;
        Lines After;  // log lines after the version line
    };
    const std::vector<Case> cases = {
        {{3, 0, 2, 38}, 1, 0, {}},
        {{3, 0, 2, 39}, 0, 1, {UpToDate}},
        {{4, 0, 3, 0}, 0, 1, {UpToDate}},
        {{41, 5, 99, 7}, 1, 0, {}},
        {{4, 0, 255, 255}, 1, 0, {}},
        {{4, 0, 2, 255}, 0, 1, {UpToDate}},
        {{4, 0, 255, 3}, 0, 1, {UpToDate}},
        {{41, 0, 1, 200}, 1, 0, {}},
        {{2, 0, 2, 39}, 0, 1, {Discontinued}},
        {{1, 0, 1, 0}, 0, 1, {Discontinued}},
        {{5, 0, 1, 0}, 0, 0, {}},
        {{0, 0, 0, 0}, 0, 0, {}},
    };
    for (const auto& c : cases) {
        test::FakeHost caseHost;
        test::FakeReceiveTarget caseTarget;
        TransferProgress caseProgress;
        ReceiveDispatcher caseDispatcher(caseHost, caseHost, caseProgress, caseTarget);
        const Bytes frame = test::IdentityFrame(c.Version);
        caseHost.Incoming.assign(frame.begin(), frame.end());
        caseDispatcher.VCPRxChar(static_cast<int>(frame.size()));

        const std::string name = std::to_string(c.Version[0]) + "." + std::to_string(c.Version[1]) +
                                 "." + std::to_string(c.Version[2]) + "." +
                                 std::to_string(c.Version[3]);
        EXPECT_EQ(caseTarget.Uploads, c.Uploads) << name;
        EXPECT_EQ(caseTarget.Reads, c.Reads) << name;
        Lines log = caseHost.LogTexts();
        ASSERT_FALSE(log.empty()) << name;
        EXPECT_EQ(log.front().rfind("Vyx v" + name + "\r\n", 0), 0u) << name;
        EXPECT_EQ(Lines(log.begin() + 1, log.end()), c.After) << name;
        EXPECT_TRUE(caseDispatcher.Identification().IsIdentityHandled()) << name;
    }
}

TEST_F(DeviceIdentificationTest, VersionLineShowsIdWordsZeroOneTwo) {
    // Payload bytes 1..12 are words 2, 1, 0 in that order.
    Bytes payload = test::IdentityPayload(1, {0, 0, 0}, {3, 7, 2, 39}, 0);
    const Bytes words = {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3};
    std::copy(words.begin(), words.end(), payload.begin() + 1);
    Receive(test::DeviceFrame(MessageCode::Identity, payload));
    ASSERT_FALSE(host.LogTexts().empty());
    EXPECT_EQ(host.LogTexts()[0], "Vyx v3.7.2.39\r\nId: 00000003 00000002 00000001");
}

TEST_F(DeviceIdentificationTest, DiscontinuedWarningTurnsTheLogRed) {
    Receive(test::IdentityFrame({2, 0, 2, 39}));
    ASSERT_EQ(host.Lines.size(), 2u);
    EXPECT_EQ(host.Lines[0].Colour, 0u);
    EXPECT_EQ(host.Lines[1].Colour, LogRed);
}

TEST_F(DeviceIdentificationTest, OnlyTheFirstReadyIdentityAfterAnOpenIsActedOn) {
    Receive(test::IdentityFrame({4, 0, 2, 39}));
    Receive(test::IdentityFrame({4, 0, 2, 38}, {9, 9, 9}));
    EXPECT_EQ(target.Reads, 1);
    EXPECT_EQ(target.Uploads, 0);
    EXPECT_EQ(host.LogTexts().size(), 2u);
    EXPECT_EQ(identification().Stored().Version, (DeviceVersion{4, 0, 2, 39}));

    identification().ResetIdentityHandled();  // port opened again
    Receive(test::IdentityFrame({4, 0, 2, 38}, {9, 9, 9}));
    EXPECT_EQ(target.Uploads, 1);
}

TEST_F(DeviceIdentificationTest, OperatingModeIdentityGivesTheNoticeAndStillStoresTheIdentity) {
    Receive(test::IdentityFrame({4, 1, 2, 30}, {1, 2, 3}, /*mode=*/0, 0x1234));
    EXPECT_EQ(
        host.LogTexts(),
        (Lines{"O Vyx foi detectado em modo de operação!", "1-Desconectar todos os chicotes",
               "2-Conectar apenas o cabo USB", "3-Aguardar o Windows criar a porta (5 segundos)",
               "4-Rodar o VyxTool e abrir a porta COM criada"}));
    EXPECT_TRUE(host.TimerEnabled(TimerId::Timer2));
    EXPECT_EQ(identification().Stored().ConfigBase, 0x1234u);
    EXPECT_EQ(identification().Stored().Version, (DeviceVersion{4, 1, 2, 30}));
    EXPECT_FALSE(identification().IsIdentityHandled());
    EXPECT_EQ(target.Uploads + target.Reads, 0);
}

TEST_F(DeviceIdentificationTest, ShortIdentityPayloadIsDroppedWithoutATrace) {
    Bytes payload = test::IdentityPayload(1, {1, 2, 3}, {4, 0, 2, 39}, 0);
    payload.pop_back();
    Receive(test::DeviceFrame(MessageCode::Identity, payload));
    EXPECT_TRUE(host.Lines.empty());
    EXPECT_FALSE(identification().HasIdentity());
    EXPECT_FALSE(identification().IsIdentityHandled());
}

TEST_F(DeviceIdentificationTest, IdListSuppressesOnlyAnImmediateRepeat) {
    const DeviceId a = {0xA, 0, 0};
    const DeviceId b = {0xB, 0, 0};
    for (const DeviceId& id : {a, a, b, a}) {
        identification().ResetIdentityHandled();
        Receive(test::IdentityFrame({4, 9, 2, 39}, id));
    }
    EXPECT_EQ(host.LogTexts(LogPane::IdList),
              (Lines{"0000000A 00000000 00000000", "0000000B 00000000 00000000",
                     "0000000A 00000000 00000000"}));
    EXPECT_EQ(host.IdListText, "3");
    EXPECT_EQ(identification().ListedCount(), 3u);
}

TEST_F(DeviceIdentificationTest, OnlyDevicesOfLineFourAtOurReleaseAreListed) {
    for (const DeviceVersion& version :
         std::vector<DeviceVersion>{{4, 0, 2, 38}, {3, 0, 2, 39}, {41, 0, 2, 39}, {4, 0, 2, 40}}) {
        identification().ResetIdentityHandled();
        Receive(test::IdentityFrame(version));
    }
    EXPECT_TRUE(host.LogTexts(LogPane::IdList).empty());
    // The same device after its upload announces 4.x.2.39 and is listed.
    identification().ResetIdentityHandled();
    Receive(test::IdentityFrame({4, 0, 2, 39}));
    EXPECT_EQ(host.IdListText, "1");
}

TEST_F(DeviceIdentificationTest, ClearingTheIdListListsTheSameDeviceAgain) {
    Receive(test::IdentityFrame({4, 0, 2, 39}, {5, 6, 7}));
    identification().ClearIdList();
    EXPECT_EQ(host.IdListText, "");
    EXPECT_TRUE(host.LogTexts(LogPane::IdList).empty());
    identification().ResetIdentityHandled();
    Receive(test::IdentityFrame({4, 0, 2, 39}, {5, 6, 7}));
    EXPECT_EQ(host.IdListText, "1");
    EXPECT_EQ(host.LogTexts(LogPane::IdList).size(), 1u);
}

}  // namespace
}  // namespace vyx
