// CONFIGURAR's checks as the user meets them, and the remote command list.

#include <QTest>
#include <QToolButton>

#include "EditorPanel.h"
#include "EditorPresets.h"
#include "FormFixture.h"
#include "HeaderPanel.h"
#include "RemoteCommands.h"
#include "RichLog.h"

namespace vyx::app::test {
namespace {

using WriteAndListTest = FormFixture;

struct BadField {
    const char* Edit;
    const char* Bad;
    const char* Message;
};

// In the order the write checks them.
constexpr BadField BadFields[] = {
    {"ED_ACP", "", "Parâmetro inválido!\r\n[Aceleração]"},
    {"ED_ACN", "1a", "Parâmetro inválido!\r\n[Desaceleração]"},
    {"ED_VMX", "151", "Parâmetro inválido!\r\n[Velocidade]"},
    {"ED_TVMX", "61", "Parâmetro inválido!\r\n[Tempo validação Velocidade]"},
    {"ED_VCH", " 12", "Parâmetro inválido!\r\n[Velocidade na Chuva]"},
    {"ED_TVCH", "+5", "Parâmetro inválido!\r\n[Tempo validação Velocidade na Chuva]"},
    {"ED_RPX", "999", "Parâmetro inválido!\r\n[Rotação do Motor]"},
    {"ED_TRPX", "-1", "Parâmetro inválido!\r\n[Tempo validação Rotação]"},
    {"ED_TOSC", "00", "Parâmetro inválido!\r\n[Tempo osciosidade]"},
    {"ED_XOSC", "99", "Parâmetro inválido!\r\n[Tempo excessão manobra]"},
    {"ED_VBGL", "0", "Parâmetro inválido!\r\n[Velocidade min. Banguela]"},
    {"ED_RBGL", "1001", "Parâmetro inválido!\r\n[Rotação max. Banguela]"},
    {"ED_TBGL", "31", "Parâmetro inválido!\r\n[Tempo validação Banguela]"},
};

TEST_F(WriteAndListTest, EachBadFieldIsReportedInTurnAndEmptied) {
    TForm1& form = Create();
    form.B_SetDefaultsClick();
    QStringList good;
    for (const BadField& field : BadFields) {
        good.append(EditNamed(field.Edit)->text());
        EditNamed(field.Edit)->setText(QString::fromUtf8(field.Bad));
    }
    for (std::size_t i = 0; i < std::size(BadFields); ++i) {
        Boxes.clear();
        form.B_SetConfigClick();
        ASSERT_EQ(Boxes.size(), 1u) << BadFields[i].Edit;
        EXPECT_EQ(Boxes[0].Text, QString::fromUtf8(BadFields[i].Message));
        EXPECT_EQ(Boxes[0].Caption, "Erro");
        EXPECT_EQ(Boxes[0].Icon, QMessageBox::Warning);
        EXPECT_EQ(Boxes[0].Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_TRUE(EditNamed(BadFields[i].Edit)->text().isEmpty());
        // An emptied field fails again until the user types a value.
        Boxes.clear();
        form.B_SetConfigClick();
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_EQ(Boxes[0].Text, QString::fromUtf8(BadFields[i].Message));
        EditNamed(BadFields[i].Edit)->setText(good[static_cast<int>(i)]);
    }
    EXPECT_TRUE(form.Header().Log->Lines().isEmpty());
}

TEST_F(WriteAndListTest, AGoodConfigurationWithoutAPortEndsInTheNoConnectionMessage) {
    TForm1& form = Create();
    form.B_SetDefaultsClick();
    form.B_SetConfigClick();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, QString::fromUtf8("Não há conexão ativa!"));
    EXPECT_EQ(Boxes[0].Caption, "ERRO #0x01");
    EXPECT_FALSE(form.Timer1.isActive());
}

TEST_F(WriteAndListTest, TheRemoteListShowsTheCommandsForTheEditorsValues) {
    TForm1& form = Create();
    LinkHost& host = form;
    host.SetLogColour(LogPane::Log, LogRed);
    host.AppendLog(LogPane::Log, "old");
    form.B_SetDefaultsClick();
    form.Editor().B_RemConfig->click();

    QStringList expected;
    for (const std::string& line : MakeRemoteCommandList(DefaultsSnapshot()).Lines) {
        expected.append(QString::fromStdString(line));
    }
    RichLog* log = form.Header().Log;
    EXPECT_EQ(log->Lines(), expected);
    EXPECT_EQ(log->Lines().first(), QString::fromUtf8("Comandos de configuração remota:"));
    EXPECT_EQ(log->Lines().size(), 10);
    EXPECT_EQ(log->LineColour(0), QColor(Qt::black));
}

TEST_F(WriteAndListTest, TheRemoteListEmptiesTheBadEditsAndGoesOn) {
    TForm1& form = Create();
    form.B_SetDefaultsClick();
    EditNamed("ED_VMX")->setText("151");
    form.Editor().CB_PING->setCurrentIndex(-1);
    form.B_RemConfigClick();
    const QStringList lines = form.Header().Log->Lines();
    EXPECT_TRUE(lines.contains(QString::fromUtf8("Parâmetro inválido! [Velocidade]")));
    EXPECT_TRUE(lines.contains(QString::fromUtf8("Parâmetro inválido! [PING]")));
    EXPECT_EQ(lines.size(), 10);
    EXPECT_TRUE(EditNamed("ED_VMX")->text().isEmpty());
    EXPECT_EQ(EditNamed("ED_TVMX")->text(), "5");
}

}  // namespace
}  // namespace vyx::app::test
