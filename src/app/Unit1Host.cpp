// TForm1's side of the interfaces that the logic behind the window talks
// through: the device link, the configuration editor and the update check.

#include <QCheckBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "DropDownList.h"
#include "EditorBinding.h"
#include "EditorPanel.h"
#include "EditorPresets.h"
#include "HeaderPanel.h"
#include "LinkLabel.h"
#include "ModalBox.h"
#include "ProfileShortcuts.h"
#include "ReleasePane.h"
#include "RichLog.h"
#include "Unit1.h"
#include "WindowRecord.h"

namespace vyx::app {

namespace {

QColor FromBgr(std::uint32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

QMessageBox::Icon ToQt(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void TForm1::B_SetDefaultsClick() {
    ApplyEditor(DefaultsSnapshot());
}

void TForm1::B_SetCalveraClick() {
    ApplyEditor(CalveraSnapshot());
}

EditorSnapshot TForm1::ReadEditor() const {
    return EditorBinding::Read(*editor);
}

void TForm1::ApplyEditor(const EditorSnapshot& snapshot) {
    EditorBinding::Apply(*editor, snapshot);
}

void TForm1::ClearListSelections() {
    editor->ClearListSelections();
}

void TForm1::EmptyField(EditorField field) {
    if (QLineEdit* edit = EditorBinding::Edit(*editor, field)) {
        edit->clear();
    }
}

RichLog* TForm1::Pane(LogPane pane) const {
    return pane == LogPane::IdList ? release->LogIdList : header->Log;
}

QTimer& TForm1::Timer(TimerId timer) {
    return const_cast<QTimer&>(static_cast<const TForm1*>(this)->Timer(timer));
}

const QTimer& TForm1::Timer(TimerId timer) const {
    switch (timer) {
        case TimerId::Timer1:
            return Timer1;
        case TimerId::Timer2:
            return Timer2;
        case TimerId::Timer3:
            break;
    }
    return Timer3;
}

void TForm1::AppendLog(LogPane pane, const std::string& text) {
    Pane(pane)->AppendLine(QString::fromStdString(text));
    if (pane == LogPane::Log) {
        record->Recorder().LogLine(text);
    }
}

void TForm1::SetLogColour(LogPane pane, std::uint32_t colour) {
    Pane(pane)->SetColour(FromBgr(colour));
}

void TForm1::ClearLog(LogPane pane) {
    Pane(pane)->ClearLines();
}

void TForm1::SetIdListText(const std::string& text) {
    release->L_IdList->setText(QString::fromStdString(text));
    release->L_IdList->adjustSize();
}

void TForm1::SetProgressMax(int maximum) {
    header->ProgressBar1->setMaximum(maximum);
}

void TForm1::SetProgress(int position) {
    QProgressBar* bar = header->ProgressBar1;
    bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
}

MsgResult TForm1::ShowMessage(const std::string& text, const std::string& caption, MsgIcon icon,
                              MsgButtons buttons) {
    const bool yesNo = buttons == MsgButtons::YesNo;
    const auto answer =
        ModalBox::Show({QString::fromStdString(text), QString::fromStdString(caption), ToQt(icon),
                        yesNo ? (QMessageBox::Yes | QMessageBox::No)
                              : QMessageBox::StandardButtons(QMessageBox::Ok)});
    if (!yesNo) {
        return MsgResult::Ok;
    }
    return answer == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
}

void TForm1::SetTimerEnabled(TimerId timer, bool enabled) {
    if (enabled) {
        Timer(timer).start();
    } else {
        Timer(timer).stop();
    }
}

bool TForm1::TimerEnabled(TimerId timer) const {
    return Timer(timer).isActive();
}

void TForm1::ProcessMessages() {
    QCoreApplication::processEvents();
}

void TForm1::SetWriteEnabled(bool enabled) {
    editor->B_SetConfig->setEnabled(enabled);
    // A read or write just ended: the editor holds what the device holds.
    profiles->DeviceHolds(enabled ? std::optional(ReadEditor()) : std::nullopt);
}

void TForm1::SetPortListEnabled(bool enabled) {
    header->ComboBox1->setEnabled(enabled);
}

bool TForm1::AutoCloseChecked() const {
    return release->Cb_COMAutoClose->isChecked();
}

bool TForm1::CalveraChecked() const {
    return release->Cb_Calvera->isChecked();
}

void TForm1::SetCheckTimerEnabled(bool enabled) {
    if (enabled) {
        Timer4.start();
    } else {
        Timer4.stop();
    }
}

void TForm1::SetMsgLabel(const std::string& text, bool underlined, std::uint32_t colour) {
    LinkLabel* msg = header->L_Msg;
    QFont font = msg->font();
    font.setUnderline(underlined);
    msg->setFont(font);
    QPalette palette = msg->palette();
    palette.setColor(QPalette::WindowText, FromBgr(colour));
    msg->setPalette(palette);
    msg->setText(QString::fromStdString(text));
    msg->adjustSize();
}

bool TForm1::AskYesNo(const std::string& text, const std::string& caption) {
    return ModalBox::Show({QString::fromStdString(text), QString::fromStdString(caption),
                           QMessageBox::Information, QMessageBox::Yes | QMessageBox::No}) ==
           QMessageBox::Yes;
}

void TForm1::OpenUrl(const std::string& url) {
    environment.OpenUrl(QUrl::fromEncoded(QByteArray::fromStdString(url)));
}

void TForm1::SetHandCursor(bool shown) {
    // The screen-wide cursor; the update check calls only on a change.
    if (shown) {
        QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

}  // namespace vyx::app
