#pragma once
// A window stand-in without widgets, for the road tests and the benchmarks: the
// tool's headless loop (real port, real timers) with an in-memory log with colours,
// an editor held as a snapshot, and message boxes that are recorded and closed at
// once. The test's thread plays the window thread: RunUntil is its event loop.
//
// The device logic is wired in through the loop's handler slots (OnRxChar,
// OnTimer1, OnTimer3, OnConnected, OnLost); the connection steps are the window's own.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ConfigHost.h"
#include "ConnectionTexts.h"
#include "ConnectionView.h"
#include "FakeHost.h"
#include "HeadlessLoop.h"
#include "LinkHost.h"

namespace vyx::test {

class HeadlessHost : public LinkHost,
                     public ConfigHost,
                     public ConnectionView,
                     public HeadlessLoop {
public:
    /// Only one host may exist at a time: it serves the process-wide hand-over queue.
    HeadlessHost();
    /// Closes the port.
    ~HeadlessHost() override { ClosePortQuietly(); }

    /// Told of every line appended to a pane (for timing the road).
    std::function<void(LogPane pane, const std::string& text)> OnAppend;

    /// ButtonVCPClick while disconnected: opens `path`, discards its queues and
    /// applies the connected state. Returns false (nothing logged) when the open fails.
    bool Connect(const std::string& path) {
        return connection.Toggle(path) == ConnectResult::Opened;
    }
    /// ButtonVCPClick while connected: closes the port, disconnected state.
    void Disconnect() { connection.Close(); }
    /// The timed close (what a write with auto close asks for).
    void CloseSoon() { connection.CloseSoon(); }

    TComPort& VCP() { return port; }
    /// The port as the device logic reaches it.
    PortIo& Io() { return io; }
    bool PortOpen() const { return io.PortOpen(); }
    int ReadPort(std::uint8_t* buffer, int count) { return io.ReadPort(buffer, count); }

    // LinkHost
    void AppendLog(LogPane pane, const std::string& text) override;
    void SetLogColour(LogPane pane, std::uint32_t colour) override;
    void ClearLog(LogPane pane) override;
    void SetIdListText(const std::string& text) override { IdListText = text; }
    void SetProgressMax(int maximum) override { ProgressMax = maximum; }
    void SetProgress(int position) override { Progress = position; }
    MsgResult ShowMessage(const std::string& text, const std::string& caption, MsgIcon icon,
                          MsgButtons buttons) override;
    void SetTimerEnabled(TimerId timer, bool enabled) override;
    bool TimerEnabled(TimerId timer) const override { return timers.Enabled(timer); }
    void ProcessMessages() override { ProcessPending(); }

    // ConfigHost: the editor is `Editor`; boxes set here run the buzzer coupling
    // rule when their state changes, as the window's click handlers do.
    EditorSnapshot ReadEditor() const override { return Editor; }
    void ApplyEditor(const EditorSnapshot& editor) override;
    void ClearListSelections() override;
    void EmptyField(EditorField field) override;
    void SetWriteEnabled(bool enabled) override { ConfigButtonEnabled = enabled; }
    bool CalveraChecked() const override { return Calvera; }
    bool AutoCloseChecked() const override { return AutoClose; }

    // ConnectionView: a new connection empties the editor.
    void ConnectionChanging() override {}
    void ShowConnected() override { Editor = EditorSnapshot{}; }
    void ShowDisconnected() override { ConfigButtonEnabled = false; }
    void SetPortListEnabled(bool enabled) override { PortListEnabled = enabled; }

    /// Lines of one pane, text only.
    std::vector<std::string> LogTexts(LogPane pane = LogPane::Log) const;
    /// Whether `Log` holds a line with exactly this text.
    bool Logged(const std::string& text) const;

    std::vector<LoggedLine> Lines;
    std::map<LogPane, std::uint32_t> Colour;
    std::string IdListText;
    int ProgressMax = 100;
    int Progress = 0;
    std::vector<ShownMessage> Messages;
    /// Errors that left a handler (what the window's error display would show).
    std::vector<std::string> Errors;
    EditorSnapshot Editor;
    bool ConfigButtonEnabled = false;
    bool PortListEnabled = true;
    bool AutoClose = false;
    bool Calvera = false;
    /// Times the one-shot close ran.
    int TimedCloses = 0;

private:
    // HeadlessLoop
    void TimedCloseDue() override;
    void HandlerFailed(const std::string& what) override { Errors.push_back(what); }
};

}  // namespace vyx::test
