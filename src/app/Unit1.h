#pragma once
// TForm1, the tool's one window. It owns every control, the five timers and the
// log panes, and keeps the handlers' names; what the handlers decide about the
// device lives in the DeviceSession and the UpdateCheck, which reach the window
// through the interfaces implemented here (LinkHost, ConfigHost, ConnectionView,
// UpdateUi). The port is reached through its ComPortIo and the Connection.

#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "ComPortIo.h"
#include "ConfigHost.h"
#include "Connection.h"
#include "ConnectionView.h"
#include "Cport.h"
#include "DeviceSession.h"
#include "FormEnvironment.h"
#include "GlyphList.h"
#include "LinkHost.h"
#include "UpdateCheck.h"
#include "UpdateUi.h"

class QPushButton;

namespace vyx::app {

class EditorPanel;
class HeaderPanel;
class ProfileShortcuts;
class ReleasePane;
class RichLog;
class WindowRecord;
class HistoryWindow;

class TForm1 : public QWidget,
               public LinkHost,
               public ConfigHost,
               public ConnectionView,
               public UpdateUi {
    Q_OBJECT

public:
    /// Outer widths of the two layouts, as the window's frame counts them.
    static constexpr int NarrowWidth = 563;
    static constexpr int WideWidth = 859;
    /// Width that the frame adds to the client area.
    static constexpr int FrameWidth = 6;
    static constexpr int ClientWidth = NarrowWidth - FrameWidth;
    static constexpr int ClientHeight = 742;
    /// The history button, in the wide layout's strip only, under its two boxes.
    static constexpr QRect HistoryButtonPlace{NarrowWidth + 4, 112, 110, 26};

    explicit TForm1(FormEnvironment environment = FormEnvironment::System());
    ~TForm1() override;

    // Start-up and layout.
    void FormCreate();
    void Timer5Timer();
    /// The key preview: Ctrl+Alt+Shift+F11 toggles the wide layout.
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    int OuterWidth() const { return width() + FrameWidth; }
    void SetOuterWidth(int outerWidth);

    // Port selection and connection.
    void ComboBox1DropDown();
    void ButtonVCPClick();
    void Timer2Timer() { connection->TimedClose(); }

    // The device: each handler hands over to the session.
    void VCPRxChar(int count);
    /// The device went away while connected.
    void VCPHangUp();
    void Timer1Timer() { session->Timer1Timer(); }
    void Timer3Timer() { session->Timer3Timer(); }
    void B_FwTxClick() { session->B_FwTxClick(); }
    void B_FwJumpClick() { session->B_FwJumpClick(); }
    void B_GetConfigClick() { session->B_GetConfigClick(); }
    void B_SetConfigClick() { session->B_SetConfigClick(); }
    void B_RemConfigClick() { session->B_RemConfigClick(); }

    // The update check and the header links.
    void Timer4Timer() { update->Timer4Timer(); }

    // Log panes and the ID list.
    void LogChange();
    void L_ClearClick();

    // Editor.
    void B_SetDefaultsClick();
    void B_SetCalveraClick();

    // ConfigHost.
    EditorSnapshot ReadEditor() const override;
    void ApplyEditor(const EditorSnapshot& editor) override;
    void ClearListSelections() override;
    void EmptyField(EditorField field) override;
    void SetWriteEnabled(bool enabled) override;
    bool CalveraChecked() const override;
    bool AutoCloseChecked() const override;

    // ConnectionView.
    void ConnectionChanging() override;
    void ShowConnected() override;
    void ShowDisconnected() override;
    void SetPortListEnabled(bool enabled) override;

    // UpdateUi (its ProcessMessages is LinkHost's).
    void SetCheckTimerEnabled(bool enabled) override;
    void SetMsgLabel(const std::string& text, bool underlined, std::uint32_t colour) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void OpenUrl(const std::string& url) override;
    void SetHandCursor(bool shown) override;

    // LinkHost.
    void AppendLog(LogPane pane, const std::string& text) override;
    void SetLogColour(LogPane pane, std::uint32_t colour) override;
    void ClearLog(LogPane pane) override;
    void SetIdListText(const std::string& text) override;
    void SetProgressMax(int maximum) override;
    void SetProgress(int position) override;
    MsgResult ShowMessage(const std::string& text, const std::string& caption, MsgIcon icon,
                          MsgButtons buttons) override;
    void SetTimerEnabled(TimerId timer, bool enabled) override;
    bool TimerEnabled(TimerId timer) const override;
    void ProcessMessages() override;

    /// The controls, for the handlers and for tests.
    HeaderPanel& Header() const { return *header; }
    EditorPanel& Editor() const { return *editor; }
    ReleasePane& Release() const { return *release; }

    /// Ctrl+S and Ctrl+O: the editor saved as, and loaded from, a profile.
    ProfileShortcuts& Profiles() const { return *profiles; }

    /// What the logic behind the window knows about the device.
    const DeviceSession& Session() const { return *session; }
    const UpdateCheck& Update() const { return *update; }

    /// The service record this window keeps, and its history window (Ctrl+H).
    WindowRecord& Record() const { return *record; }
    HistoryWindow& History();

    TComPort VCP;
    ComPortIo VCPIo{VCP};
    GlyphList ImageList1;
    QTimer Timer1;
    QTimer Timer2;
    QTimer Timer3;
    QTimer Timer4;
    QTimer Timer5;
    QPushButton* B_FwJump;
    QPushButton* B_FwTx;
    QPushButton* B_GetConfig;
    QWidget* CppWebBrowser1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildHiddenControls();
    void SetUpPort();
    bool RefillPortList();
    void ConnectHandlers();
    void RemoveOlderCopies();
    RichLog* Pane(LogPane pane) const;
    QTimer& Timer(TimerId timer);
    const QTimer& Timer(TimerId timer) const;

    FormEnvironment environment;
    const QEvent* previewedKey = nullptr;
    QPointer<QWidget> previewedReceiver;
    std::unique_ptr<HeaderPanel> header;
    std::unique_ptr<EditorPanel> editor;
    std::unique_ptr<ReleasePane> release;
    std::unique_ptr<DeviceSession> session;
    std::unique_ptr<Connection> connection;
    std::unique_ptr<WebClient> web;
    std::unique_ptr<UpdateCheck> update;
    std::unique_ptr<WindowRecord> record;
    HistoryWindow* history = nullptr;      // owned by the window as its QObject child
    ProfileShortcuts* profiles = nullptr;  // owned by the window as its QObject child
};

}  // namespace vyx::app
