#include "Unit1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <algorithm>
#include <array>

#include "ConfigImage.h"
#include "DropDownList.h"
#include "EditorBinding.h"
#include "EditorPanel.h"
#include "EditorPresets.h"
#include "HeaderPanel.h"
#include "LatchButton.h"
#include "LinkLabel.h"
#include "Look.h"
#include "ModalBox.h"
#include "ReleasePane.h"
#include "RichLog.h"
#include "UpDown.h"

namespace vyx::app {

namespace {

// The tool's own version, shown in the caption.
constexpr int VersionMajor = 2;
constexpr int VersionMinor = 39;
constexpr char VersionLetter = 'C';
constexpr const char* CaptionFormat = "VyxTool v%1.%2.%3";

// Copies of earlier releases that the tool removes from its own folder.
constexpr std::array<const char*, 4> OlderCopies = {"VyxTool v2.37.A.exe", "VyxTool v2.38.A.exe",
                                                    "VyxTool v2.39.A.exe", "VyxTool v2.39.B.exe"};

// The layout fix after start lifts every spinner this far.
constexpr int SpinnerLift = 3;

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

FormEnvironment FormEnvironment::System() {
    FormEnvironment environment;
    environment.ListPorts = [] { return QStringList(); };
    environment.ProgramFolder = QCoreApplication::applicationDirPath();
    return environment;
}

TForm1::TForm1(FormEnvironment environment)
    : QWidget(nullptr), environment(std::move(environment)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("VyxTool"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAutoFillBackground(true);
    setFont(Look::SansSerif8());
    setFixedSize(ClientWidth, ClientHeight);

    header = std::make_unique<HeaderPanel>(this);
    editor = std::make_unique<EditorPanel>(this);
    release = std::make_unique<ReleasePane>(this);
    BuildHiddenControls();

    Timer1.setInterval(500);
    Timer2.setInterval(50);
    Timer3.setInterval(100);
    Timer4.setInterval(1000);
    Timer5.setInterval(10);

    ConnectHandlers();
    // Key preview: the window sees every key before the focused control does.
    qApp->installEventFilter(this);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::BuildHiddenControls() {
    // Beyond the right edge of both layouts: never seen, but their handlers run
    // when the logic calls them.
    auto makeButton = [this](const char* name, const char* caption, int y) {
        auto* button = new QPushButton(QString::fromLatin1(caption), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(872, y, 60, 25);
        return button;
    };
    B_FwJump = makeButton("B_FwJump", "FwJump", 136);
    B_FwTx = makeButton("B_FwTx", "FwUpload", 168);
    B_GetConfig = makeButton("B_GetConfig", "GetConfig", 200);
    CppWebBrowser1 = new QWidget(this);
    CppWebBrowser1->setObjectName(QStringLiteral("CppWebBrowser1"));
    CppWebBrowser1->setGeometry(872, 16, 209, 113);
}

void TForm1::ConnectHandlers() {
    connect(&Timer5, &QTimer::timeout, this, &TForm1::Timer5Timer);
    connect(header->Log, &QTextEdit::textChanged, this, &TForm1::LogChange);
    connect(release->LogIdList, &QTextEdit::textChanged, this, &TForm1::LogChange);
    release->L_Clear->OnClick = [this] { L_ClearClick(); };
    connect(editor->B_SetDefaults, &QToolButton::clicked, this, &TForm1::B_SetDefaultsClick);
    connect(editor->B_SetCalvera, &QToolButton::clicked, this, &TForm1::B_SetCalveraClick);
}

void TForm1::FormCreate() {
    // 1. Disconnected glyph.
    header->ButtonVCP->setIcon(ImageList1.Glyph(GlyphList::Disconnected));
    // 2. The port list, first entry selected.
    try {
        const QStringList ports = environment.ListPorts();
        header->ComboBox1->clear();
        header->ComboBox1->addItems(ports);
        header->ComboBox1->setCurrentIndex(ports.isEmpty() ? -1 : 0);
    } catch (const std::exception&) {
        header->ComboBox1->setCurrentIndex(-1);
    }
    // 4. Caption.
    setWindowTitle(QString::fromLatin1(CaptionFormat)
                       .arg(VersionMajor)
                       .arg(VersionMinor)
                       .arg(QLatin1Char(VersionLetter)));
    // 5. The value lists, nothing selected.
    editor->FillLists(PingSeconds, BaudCodes);
    // 6. Update check.
    Timer4.start();
    // 7. The update message starts empty.
    header->L_Msg->setText(QString());
    // 8. Older copies of the tool.
    RemoveOlderCopies();
    // 9. Layout fix.
    Timer5.start();
    // 10. ID list.
    L_ClearClick();
}

void TForm1::RemoveOlderCopies() {
    const QDir folder(environment.ProgramFolder);
    for (const char* name : OlderCopies) {
        // A missing or locked file is no error.
        QFile::remove(folder.filePath(QString::fromLatin1(name)));
    }
}

void TForm1::Timer5Timer() {
    Timer5.stop();
    // No value shows until a configuration is read or filled in.
    for (QLineEdit* edit : editor->ValueEdits()) {
        edit->clear();
    }
    for (UpDown* spinner : editor->Spinners()) {
        spinner->move(spinner->x(), spinner->y() - SpinnerLift);
    }
}

void TForm1::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
    const Qt::KeyboardModifiers needed = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
    if (key == Qt::Key_F11 && (shift & needed) == needed) {
        SetOuterWidth(OuterWidth() == WideWidth ? NarrowWidth : WideWidth);
    }
}

void TForm1::SetOuterWidth(int outerWidth) {
    setFixedSize(std::max(outerWidth - FrameWidth, 1), ClientHeight);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        // A key the focused control ignores is offered to its parents with the
        // same event: look at it only once, when it first arrives.
        auto* widget = static_cast<QWidget*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool offeredToParent =
            key == previewedKey && previewedReceiver && widget->isAncestorOf(previewedReceiver);
        previewedKey = key;
        previewedReceiver = widget;
        if (!offeredToParent) {
            FormKeyDown(key->key(), key->modifiers());
        }
    }
    return QWidget::eventFilter(watched, event);  // the key goes on unchanged
}

void TForm1::LogChange() {
    // Log always shows its newest line, whichever pane changed.
    header->Log->moveCursor(QTextCursor::End);
    header->Log->ensureCursorVisible();
}

void TForm1::L_ClearClick() {
    release->L_IdList->setText(QString());
    release->LogIdList->ClearLines();
}

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

bool TForm1::PortOpen() const {
    return false;
}

void TForm1::WritePort(std::span<const std::uint8_t>) {}

int TForm1::ReadPort(std::uint8_t*, int) {
    return 0;
}

void TForm1::SetConfigButtonEnabled(bool enabled) {
    editor->B_SetConfig->setEnabled(enabled);
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

}  // namespace vyx::app
