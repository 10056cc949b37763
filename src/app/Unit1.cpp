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
#include <QShortcut>
#include <QToolButton>
#include <algorithm>
#include <array>

#include "ConfigImage.h"
#include "DevicePort.h"
#include "DropDownList.h"
#include "EditorBinding.h"
#include "EditorPanel.h"
#include "EditorPresets.h"
#include "HeaderPanel.h"
#include "HistoryWindow.h"
#include "LatchButton.h"
#include "LinkLabel.h"
#include "Look.h"
#include "ModalBox.h"
#include "OpenFailureBox.h"
#include "PortTrouble.h"
#include "ProfileShortcuts.h"
#include "ReleasePane.h"
#include "RichLog.h"
#include "TimerIntervals.h"
#include "UpDown.h"
#include "VyxApplication.h"
#include "WindowRecord.h"

namespace vyx::app {

namespace {

constexpr const char* CaptionFormat = "VyxTool v%1.%2.%3";

// Copies of earlier releases that the tool removes from its own folder.
constexpr std::array<const char*, 4> OlderCopies = {"VyxTool v2.37.A.exe", "VyxTool v2.38.A.exe",
                                                    "VyxTool v2.39.A.exe", "VyxTool v2.39.B.exe"};

// The layout fix after start lifts every spinner this far.
constexpr int SpinnerLift = 3;

}  // namespace

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
    SetUpPort();
    session =
        std::make_unique<DeviceSession>(*this, VCPIo, *this, [this] { connection->CloseSoon(); });
    record = std::make_unique<WindowRecord>(std::string(), [this](const std::string& line) {
        Pane(LogPane::Log)->AppendLine(QString::fromStdString(line));
    });
    session->AddEvents(record->Recorder());
    // Ctrl+H, and a button of the wide layout only (right of the narrow width).
    auto* historyKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    connect(historyKey, &QShortcut::activated, this, [this] { History().show(); });
    auto* historyButton = new QPushButton(QStringLiteral("Histórico"), this);
    historyButton->setObjectName(QStringLiteral("B_History"));
    historyButton->setFocusPolicy(Qt::NoFocus);
    historyButton->setGeometry(HistoryButtonPlace);
    connect(historyButton, &QPushButton::clicked, this, [this] { History().show(); });
    connection = std::make_unique<Connection>(
        VCP, *this, *this,
        [this] {
            record->Recorder().PortOpened();
            session->PortOpened();
        },
        [this] { session->PortLost(); }, [this](bool timed) { session->PortClosed(timed); });
    profiles = new ProfileShortcuts(*this, *this, *this);
    web = this->environment.MakeWebClient();
    update = std::make_unique<UpdateCheck>(*web, *this);
    header->L_Site->setText(QString::fromStdString(update->SiteCaption()));
    header->L_Site->adjustSize();

    Timer1.setInterval(TransferTickInterval);
    Timer2.setInterval(TimedCloseDelay);
    Timer3.setInterval(ReadTickInterval);
    Timer4.setInterval(UpdateCheckInterval);
    Timer5.setInterval(LayoutFixDelay);

    ConnectHandlers();
    // The port's event thread hands its notifications to this thread through a
    // queued call into the event loop.
    SetHandOverWakeUp([] {
        QMetaObject::invokeMethod(
            qApp, [] { RunPendingHandOvers(); }, Qt::QueuedConnection);
    });
    // Key preview: the window sees every key before the focused control does.
    qApp->installEventFilter(this);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    FormCreate();
}

TForm1::~TForm1() {
    try {
        VCP.Close();
    } catch (const EComPort&) {
        // Going away: nothing is left to tell the user.
    }
    SetHandOverWakeUp({});
    RunPendingHandOvers();
    session->RemoveEvents(record->Recorder());
}

HistoryWindow& TForm1::History() {
    if (!history) {
        history = new HistoryWindow(*record, this);
    }
    history->Refresh();
    history->raise();
    history->activateWindow();
    return *history;
}

void TForm1::SetUpPort() {
    DevicePort::Configure(VCP);
    VCP.OnRxChar = [this](TCustomComPort&, std::int32_t count) { VCPRxChar(count); };
    VCP.OnHangUp = [this](TCustomComPort&) { VCPHangUp(); };
}

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
    connect(&Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(&Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
    connect(&Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);
    connect(&Timer4, &QTimer::timeout, this, &TForm1::Timer4Timer);
    connect(&Timer5, &QTimer::timeout, this, &TForm1::Timer5Timer);
    LinkLabel* msg = header->L_Msg;
    msg->OnClick = [this] { update->L_MsgClick(); };
    msg->OnMouseEnter = [this] { update->L_MsgMouseEnter(); };
    msg->OnMouseLeave = [this] { update->L_MsgMouseLeave(); };
    LinkLabel* site = header->L_Site;
    site->OnClick = [this] { update->L_SiteClick(); };
    site->OnMouseEnter = [this] { update->L_SiteMouseEnter(); };
    site->OnMouseLeave = [this] { update->L_SiteMouseLeave(); };
    header->ComboBox1->OnDropDown = [this] { ComboBox1DropDown(); };
    connect(header->ButtonVCP, &QPushButton::clicked, this, &TForm1::ButtonVCPClick);
    connect(editor->B_SetConfig, &QPushButton::clicked, this, &TForm1::B_SetConfigClick);
    connect(editor->B_RemConfig, &QToolButton::clicked, this, &TForm1::B_RemConfigClick);
    connect(B_FwJump, &QPushButton::clicked, this, &TForm1::B_FwJumpClick);
    connect(B_FwTx, &QPushButton::clicked, this, &TForm1::B_FwTxClick);
    connect(B_GetConfig, &QPushButton::clicked, this, &TForm1::B_GetConfigClick);
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
    if (!RefillPortList()) {
        header->ComboBox1->setCurrentIndex(-1);
    }
    // 3. Caption (the device's bit rate came with the port's settings).
    setWindowTitle(QString::fromLatin1(CaptionFormat)
                       .arg(ToolVersion.Major)
                       .arg(ToolVersion.Minor)
                       .arg(QChar(ToolVersion.Letter)));
    // 4. The value lists, nothing selected.
    editor->FillLists(PingSeconds, BaudCodes);
    // 5. Update check.
    Timer4.start();
    // 6. The update message starts empty.
    header->L_Msg->setText(QString());
    // 7. Older copies of the tool.
    RemoveOlderCopies();
    // 8. Layout fix.
    Timer5.start();
    // 9. ID list.
    L_ClearClick();
}

bool TForm1::RefillPortList() {
    QStringList ports;
    try {
        ports = environment.ListPorts();
    } catch (const EComPort&) {
        return false;  // the list stays as it was
    }
    DropDownList* list = header->ComboBox1;
    list->clear();
    list->addItems(ports);
    list->setCurrentIndex(ports.isEmpty() ? -1 : 0);
    return true;
}

void TForm1::ComboBox1DropDown() {
    RefillPortList();
}

void TForm1::ButtonVCPClick() {
    LatchButton* button = header->ButtonVCP;
    DropDownList* list = header->ComboBox1;
    auto popUp = [button] {
        button->SetAllowAllUp(true);
        button->SetDown(false);
    };
    if (list->currentIndex() < 0) {
        popUp();
        return;
    }
    // Missing, busy or refused: the button pops up and a box says why; a port
    // that is gone leaves the list.
    connection->Toggle(list->currentText().toStdString(), [this, popUp](const EComPort& e) {
        popUp();
        const bool vanished = PortTrouble::Classify(e) == PortTrouble::Kind::Vanished;
        if (vanished) {
            RefillPortList();
        }
        OpenFailureBox::Show(e, VCP.Port(), vanished);
    });
}

void TForm1::ConnectionChanging() {
    header->ButtonVCP->setIcon(QIcon());
}

void TForm1::ShowConnected() {
    LatchButton* button = header->ButtonVCP;
    button->SetAllowAllUp(false);
    button->SetDown(true);
    editor->ClearListSelections();
    editor->B_RemConfig->setEnabled(false);
    editor->EmptyForConnection();
    profiles->DeviceHolds(std::nullopt);
    button->setIcon(ImageList1.Glyph(GlyphList::Connected));
}

void TForm1::ShowDisconnected() {
    LatchButton* button = header->ButtonVCP;
    button->SetAllowAllUp(true);
    button->SetDown(false);
    button->setIcon(ImageList1.Glyph(GlyphList::Disconnected));
    editor->B_SetConfig->setEnabled(false);
    editor->B_RemConfig->setEnabled(true);
    profiles->DeviceHolds(std::nullopt);
}

void TForm1::VCPRxChar(int count) {
    // Runs inside the serial layer's hand-over, which would keep an error for
    // its event thread: show it here like any other handler's error.
    try {
        session->VCPRxChar(count);
    } catch (...) {
        VyxApplication::ShowError(std::current_exception());
    }
}

void TForm1::VCPHangUp() {
    // Runs inside the serial layer's hand-over, as VCPRxChar does.
    try {
        connection->Lost();
    } catch (...) {
        VyxApplication::ShowError(std::current_exception());
    }
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
    session->L_ClearClick();
}

}  // namespace vyx::app
