#include "ProfileShortcuts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QShortcut>
#include <QWidget>

#include "EditorChecks.h"
#include "ModalBox.h"
#include "ProfileDiff.h"
#include "ProfileFile.h"
#include "ProfileTexts.h"

namespace vyx::app {

namespace {

constexpr const char* SaveCaption = "Salvar perfil";
constexpr const char* LoadCaption = "Abrir perfil";
constexpr const char* FileFilter = "Perfil Vyx (*.json)";
constexpr const char* ErrorCaption = "Erro";

void ShowError(const std::string& text) {
    ModalBox::Show({QString::fromStdString(text), QString::fromLatin1(ErrorCaption),
                    QMessageBox::Warning, QMessageBox::Ok});
}

}  // namespace

ProfileShortcuts::ProfileShortcuts(QWidget& form, ConfigHost& editor, LinkHost& log)
    : QObject(&form), form(form), editor(editor), log(log) {
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &form);
    auto* load = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), &form);
    connect(save, &QShortcut::activated, this, &ProfileShortcuts::SaveClick);
    connect(load, &QShortcut::activated, this, &ProfileShortcuts::LoadClick);
}

void ProfileShortcuts::SaveClick() {
    const QString path = QFileDialog::getSaveFileName(nullptr, QString::fromUtf8(SaveCaption),
                                                      QString(), QString::fromUtf8(FileFilter));
    if (!path.isEmpty()) {
        Save(path);
    }
}

void ProfileShortcuts::LoadClick() {
    const QString path = QFileDialog::getOpenFileName(nullptr, QString::fromUtf8(LoadCaption),
                                                      QString(), QString::fromUtf8(FileFilter));
    if (!path.isEmpty()) {
        Load(path);
    }
}

bool ProfileShortcuts::Save(const QString& path) {
    const EditorSnapshot snapshot = editor.ReadEditor();
    if (const auto failure = FirstFailingCheck(snapshot)) {
        ShowError(failure->Message);
        return false;
    }
    if (const auto error = ProfileFile::Save(path.toStdString(), snapshot)) {
        ShowError(*error);
        return false;
    }
    return true;
}

bool ProfileShortcuts::Load(const QString& path) {
    const ProfileResult profile = ProfileFile::Load(path.toStdString());
    if (!profile.Editor) {
        ShowError(RefusalText(profile));
        return false;
    }
    editor.ApplyEditor(*profile.Editor);
    log.AppendLog(LogPane::Log, ProfileOpenedLine(QFileInfo(path).fileName().toStdString()));
    if (device) {
        // What CONFIGURAR would change on the device, in vyxctl diff's words.
        for (const std::string& line : ProfileOpenedLines(*device, *profile.Editor)) {
            log.AppendLog(LogPane::Log, line);
        }
    }
    return true;
}

}  // namespace vyx::app
