#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "ConfigImage.h"
#include "Connection.h"
#include "Cport.h"
#include "DeviceFrames.h"
#include "DeviceSession.h"
#include "EditorPresets.h"
#include "FakeConfigHost.h"
#include "FakeHost.h"
#include "FirmwareImage.h"

namespace vyx {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

constexpr std::uint32_t ConfigBase = 0x0801F000;

// The far side of the link: answers every frame the tool wrote, in order,
// as a device that replies at once would.
class Device {
public:
    explicit Device(test::FakeHost& host) : host(host) { Block.fill(0xFF); }

    void Announce(DeviceSession& session, const DeviceVersion& version) {
        Deliver(session, test::IdentityFrame(version, {7, 8, 9}, 1, ConfigBase));
    }

    // Answers until the tool has nothing more outstanding.
    void Serve(DeviceSession& session) {
        while (answered < host.Written.size()) {
            const Bytes frame = host.Written[answered++];
            const std::uint8_t code = frame[2];
            if (code == static_cast<std::uint8_t>(MessageCode::MemoryRead)) {
                const std::uint32_t address = ReadBE32(&frame[5]);
                const std::uint32_t count = ReadBE16(&frame[9]);
                Bytes payload(frame.begin() + 5, frame.begin() + 11);
                const auto from = Block.begin() + (address - ConfigBase);
                payload.insert(payload.end(), from, from + count);
                ++Reads;
                Deliver(session, test::DeviceFrame(MessageCode::MemoryRead, payload));
            } else if (code == 1 || code == 6) {
                const std::uint32_t index = ReadBE16(&frame[7]);
                const std::uint32_t total = ReadBE16(&frame[9]);
                if (index < total) {
                    Received[code].insert(Received[code].end(), frame.begin() + 11,
                                          frame.end() - 3);
                } else {
                    Trailers[code].assign(frame.begin() + 11, frame.end() - 3);
                }
                Deliver(session, test::AckFrame(index));
            }
        }
    }

    ConfigImage Block{};
    int Reads = 0;
    std::map<std::uint8_t, Bytes> Received;  // image bytes per transfer kind
    std::map<std::uint8_t, Bytes> Trailers;

private:
    void Deliver(DeviceSession& session, const Bytes& frame) {
        host.Incoming.assign(frame.begin(), frame.end());
        session.VCPRxChar(static_cast<int>(frame.size()));
    }

    test::FakeHost& host;
    std::size_t answered = 0;
};

class DeviceSessionTest : public ::testing::Test {
protected:
    bool Logged(const std::string& line) const {
        const Lines log = host.LogTexts();
        return std::find(log.begin(), log.end(), line) != log.end();
    }

    test::FakeHost host;
    test::FakeConfigHost editor;
    int closesAsked = 0;
    DeviceSession session{host, host, editor, [this] { ++closesAsked; }};
    Device device{host};
};

TEST_F(DeviceSessionTest, CurrentDeviceIsReadAndDecodedIntoTheEditor) {
    device.Block = EncodeConfigImage(CalveraReference).Image;
    device.Announce(session, {4, 0, 2, 39});
    device.Serve(session);

    EXPECT_EQ(device.Reads, 5);
    EXPECT_EQ(host.LogTexts().back(), "Leitura da configuração interna concluída!");
    EXPECT_TRUE(Logged("O Vyx está atualizado!"));
    EXPECT_TRUE(editor.WriteEnabled);
    EXPECT_EQ(editor.Editor, CalveraSnapshot());
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(DeviceSessionTest, RejectedBlockIsRepairedWithTheDefaultsIn44Packages) {
    device.Announce(session, {4, 0, 2, 39});  // the device's block is blank
    device.Serve(session);

    EXPECT_TRUE(Logged("Configuração inválida!"));
    EXPECT_TRUE(Logged("Preparando configuração padrão..."));
    EXPECT_EQ(editor.Editor, DefaultsSnapshot());
    EXPECT_EQ(host.LogTexts().back(), "Atualização concluída com sucesso!");
    EXPECT_EQ(session.Progress().TxPackageCount, 44u);

    ASSERT_EQ(device.Received[6].size(), ConfigImageSize);
    ConfigImage sent{};
    std::copy(device.Received[6].begin(), device.Received[6].end(), sent.begin());
    const ConfigCheckValues checks = ComputeCheckValues(sent);
    EXPECT_EQ(device.Trailers[6], Bytes(checks.begin(), checks.end()));
    EXPECT_EQ(host.Lines.back().Colour, LogRed);  // the warning's red stays
}

TEST_F(DeviceSessionTest, OldDeviceGetsTheFirmwareThenIsReadAfterItsRestart) {
    device.Block = EncodeConfigImage(CalveraReference).Image;
    device.Announce(session, {4, 0, 2, 38});
    device.Serve(session);

    EXPECT_EQ(device.Received[1], Bytes(FirmwareImage.begin(), FirmwareImage.end()));
    EXPECT_EQ(device.Trailers[1], Bytes(FirmwareTrailer.begin(), FirmwareTrailer.end()));
    EXPECT_FALSE(session.Identification().IsIdentityHandled());
    EXPECT_EQ(device.Reads, 0);
    EXPECT_FALSE(editor.WriteEnabled);

    device.Announce(session, {4, 0, 2, 39});  // restarted with the new release
    device.Serve(session);
    EXPECT_EQ(device.Reads, 5);
    EXPECT_EQ(host.LogTexts().back(), "Leitura da configuração interna concluída!");
    EXPECT_EQ(host.IdListText, "1");
}

TEST(DeviceSessionAutoClose, AfterAWriteOnlyForTheListedReleaseWhenAsked) {
    struct Case {
        bool AutoClose;
        DeviceVersion Version;
        int Closes;
    };
    for (const Case& c : std::vector<Case>{
             {true, {4, 7, 2, 39}, 1}, {false, {4, 7, 2, 39}, 0}, {true, {3, 0, 2, 39}, 0}}) {
        test::FakeHost host;
        test::FakeConfigHost editor;
        editor.AutoClose = c.AutoClose;
        int closes = 0;
        DeviceSession session{host, host, editor, [&] { ++closes; }};
        Device device{host};
        device.Announce(session, c.Version);  // a blank block: read, then the repair write
        device.Serve(session);
        ASSERT_EQ(host.LogTexts().back(), "Atualização concluída com sucesso!");
        EXPECT_TRUE(editor.WriteEnabled);
        EXPECT_EQ(closes, c.Closes) << static_cast<int>(c.Version[0]);
    }
}

TEST_F(DeviceSessionTest, StrayAcknowledgementDuringAReadChangesNothing) {
    device.Announce(session, {4, 0, 2, 39});
    const Bytes ack = test::AckFrame(0xFFFF);
    host.Incoming.assign(ack.begin(), ack.end());
    session.VCPRxChar(static_cast<int>(ack.size()));
    EXPECT_FALSE(Logged("Atualização concluída com sucesso!"));
    EXPECT_FALSE(editor.WriteEnabled);
}

TEST_F(DeviceSessionTest, RemoteCommandListReplacesTheLogAndEmptiesBadFields) {
    editor.Editor = DefaultsSnapshot();
    editor.Editor.Text(EditorField::Vmx) = "abc";
    host.AppendLog(LogPane::Log, "Conexão fechada...");
    session.B_RemConfigClick();
    const Lines log = host.LogTexts();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "Comandos de configuração remota:");
    EXPECT_TRUE(Logged("Parâmetro inválido! [Velocidade]"));
    EXPECT_EQ(editor.Emptied, (std::vector<EditorField>{EditorField::Vmx}));
}

// What the window shows of the connection, as plain values.
struct FakeConnectionView : ConnectionView {
    void ConnectionChanging() override {}
    void ShowConnected() override { Connected = true; }
    void ShowDisconnected() override { Connected = false; }
    void SetPortListEnabled(bool enabled) override { PortListEnabled = enabled; }
    bool Connected = true;
    bool PortListEnabled = false;
};

// The cable is pulled while an upload or a read waits for the device: one line
// says so, the exchange stops without a box, and the closed state shows.
TEST(DeviceSessionLost, ExchangeUnderWayStopsWithOneLineAndNoBox) {
    struct Case {
        const char* Name;
        DeviceVersion Version;  // an old device gets the firmware, a current one is read
        TimerId Exchange;
    };
    for (const Case& c : {Case{"upload", {4, 0, 2, 38}, TimerId::Timer1},
                          Case{"read", {4, 0, 2, 39}, TimerId::Timer3}}) {
        SCOPED_TRACE(c.Name);
        test::FakeHost host;
        test::FakeConfigHost editor;
        FakeConnectionView view;
        TComPort port;  // never opened: the pulled cable's port
        DeviceSession session{host, host, editor, {}};
        Connection connection{port, host, view, {}, [&] { session.PortLost(); }};
        Device device{host};
        device.Announce(session, c.Version);
        ASSERT_TRUE(host.TimerEnabled(c.Exchange));
        host.SetTimerEnabled(TimerId::Timer2, true);  // a timed close asked for earlier
        host.SetProgress(1);

        host.Open = false;
        connection.Lost();

        EXPECT_EQ(host.LogTexts().back(), "Conexão perdida...");
        EXPECT_EQ(std::ranges::count(host.LogTexts(), "Conexão fechada..."), 0);
        EXPECT_TRUE(host.Messages.empty());
        for (TimerId timer : {TimerId::Timer1, TimerId::Timer2, TimerId::Timer3}) {
            EXPECT_FALSE(host.TimerEnabled(timer)) << static_cast<int>(timer);
        }
        EXPECT_EQ(host.Progress, 0);
        EXPECT_FALSE(view.Connected);
        EXPECT_TRUE(view.PortListEnabled);
    }
}

}  // namespace
}  // namespace vyx
