// Ctrl+S and Ctrl+O: the editor to a profile file and back.

#include <QLineEdit>
#include <QTemporaryDir>

#include "EditorPresets.h"
#include "FormFixture.h"
#include "HeaderPanel.h"
#include "ProfileFile.h"
#include "ProfileShortcuts.h"
#include "RichLog.h"

namespace vyx::app::test {
namespace {

using ProfileTest = FormFixture;

TEST_F(ProfileTest, TheEditorSavedAndLoadedBackIsTheSame) {
    TForm1& form = Create();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("calvera.json"));
    form.B_SetCalveraClick();
    ASSERT_TRUE(form.Profiles().Save(path));
    const ProfileResult saved = ProfileFile::Load(path.toStdString());
    ASSERT_TRUE(saved.Editor);
    EXPECT_EQ(*saved.Editor, CalveraSnapshot());

    form.B_SetDefaultsClick();
    ASSERT_TRUE(form.Profiles().Load(path));
    EXPECT_EQ(form.ReadEditor(), CalveraSnapshot());
    EXPECT_EQ(form.Header().Log->Lines().back(), QString::fromUtf8("Perfil aberto: calvera.json"));
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(ProfileTest, RefusedValuesOrFilesChangeNothingAndSayWhy) {
    TForm1& form = Create();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.json"));
    form.B_SetDefaultsClick();
    form.findChild<QLineEdit*>(QStringLiteral("ED_VMX"))->setText(QStringLiteral("151"));
    EXPECT_FALSE(form.Profiles().Save(path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("ED_VMX"))->text(), QStringLiteral("151"));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{ \"format_version\": 1 }");
    file.close();
    const EditorSnapshot before = form.ReadEditor();
    EXPECT_FALSE(form.Profiles().Load(path));
    EXPECT_EQ(form.ReadEditor(), before);

    ASSERT_EQ(Boxes.size(), 2U);
    EXPECT_EQ(Boxes[0].Text, QStringLiteral("Parâmetro inválido!\r\n[Velocidade]"));
    EXPECT_TRUE(Boxes[1].Text.contains(QStringLiteral("ping.period_s: ausente")));
    EXPECT_EQ(Boxes[1].Caption, QStringLiteral("Erro"));
}

// Opened over a configuration the device holds (a read has enabled CONFIGURAR),
// a profile's differences go to the log; with no device's configuration there,
// nothing is compared.
TEST_F(ProfileTest, AProfileOpenedOverADevicesConfigurationLogsWhatDiffers) {
    TForm1& form = Create();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.json"));
    EditorSnapshot profile = DefaultsSnapshot();
    profile.Text(EditorField::Vmx) = "100";
    ASSERT_FALSE(ProfileFile::Save(path.toStdString(), profile));
    const QStringList difference = {
        QStringLiteral("speed.max_kmh (Velocidade máxima permitida): 120 → 100")};

    form.ApplyEditor(DefaultsSnapshot());
    form.SetWriteEnabled(true);
    form.ApplyEditor(CalveraSnapshot());  // edited since: the device still holds the read
    ASSERT_TRUE(form.Profiles().Load(path));
    const QStringList opened = {QStringLiteral("Perfil aberto: p.json")};
    EXPECT_EQ(form.Header().Log->Lines(), opened + difference);

    const QString same = dir.filePath(QStringLiteral("same.json"));
    ASSERT_FALSE(ProfileFile::Save(same.toStdString(), DefaultsSnapshot()));
    ASSERT_TRUE(form.Profiles().Load(same));
    const QStringList sameLines = {QStringLiteral("Perfil aberto: same.json"),
                                   QStringLiteral("Vyx igual ao perfil")};
    EXPECT_EQ(form.Header().Log->Lines(), opened + difference + sameLines);

    form.ClearLog(LogPane::Log);
    form.ShowDisconnected();
    ASSERT_TRUE(form.Profiles().Load(path));
    EXPECT_EQ(form.Header().Log->Lines(), opened);
}

}  // namespace
}  // namespace vyx::app::test
