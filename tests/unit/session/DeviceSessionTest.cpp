#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "AnsweringDevice.h"
#include "ConfigImage.h"
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

using test::ConfigBase;

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
    test::AnsweringDevice device{host};
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
        test::AnsweringDevice device{host};
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

}  // namespace
}  // namespace vyx
