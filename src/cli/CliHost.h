#pragma once
// The window's part for one device when there is no window: the port set up as
// the tool sets it, the timers on the steady clock, the editor held as values,
// log lines and progress passed to the caller; message boxes are closed at once
// (what ended how, the session's outcomes say). The thread that creates the host
// plays the window thread for that device: it has its own hand-over queue and
// RunUntil is its loop, so several hosts can serve several devices at once, one
// thread each.

#include <functional>
#include <optional>
#include <string>

#include "ConfigHost.h"
#include "ConnectionView.h"
#include "HeadlessLoop.h"
#include "LinkHost.h"

namespace vyx::cli {

class CliHost : public LinkHost, public ConfigHost, private ConnectionView, public HeadlessLoop {
public:
    /// Sets the port up and gives the calling thread its own hand-over queue (until
    /// the host is destroyed, on the same thread).
    CliHost();
    ~CliHost() override;
    CliHost(const CliHost&) = delete;
    CliHost& operator=(const CliHost&) = delete;

    /// Every log line, with whether the pane is red at that point.
    std::function<void(const std::string& text, bool red)> OnLog;
    /// The progress bar: position and maximum.
    std::function<void(int position, int maximum)> OnProgress;

    /// Opens `path` with the device's settings and discards its queues. On failure
    /// returns why, as the window explains it (PortTrouble: permission with the
    /// owning group, busy, gone).
    std::optional<std::string> Open(const std::string& path);
    void Close();
    /// The one-shot close (for the session's close after configuring).
    void CloseSoon() { connection.CloseSoon(); }

    /// The device logic's way to the port.
    PortIo& Port() { return io; }

    /// What a handler threw (the port failed), if anything.
    const std::optional<std::string>& Error() const { return error; }

    /// The editor's values (the profile to write, or what a read gave).
    EditorSnapshot Editor;

    // LinkHost
    void AppendLog(LogPane pane, const std::string& text) override;
    void SetLogColour(LogPane pane, std::uint32_t colour) override;
    void ClearLog(LogPane pane) override;
    void SetIdListText(const std::string&) override {}
    void SetProgressMax(int maximum) override;
    void SetProgress(int position) override;
    MsgResult ShowMessage(const std::string& text, const std::string& caption, MsgIcon icon,
                          MsgButtons buttons) override;
    void SetTimerEnabled(TimerId timer, bool enabled) override {
        timers.SetEnabled(timer, enabled);
    }
    bool TimerEnabled(TimerId timer) const override { return timers.Enabled(timer); }
    void ProcessMessages() override { ProcessPending(); }

    // ConfigHost
    EditorSnapshot ReadEditor() const override { return Editor; }
    void ApplyEditor(const EditorSnapshot& editor) override;
    void ClearListSelections() override;
    void EmptyField(EditorField field) override;
    void SetWriteEnabled(bool) override {}
    bool CalveraChecked() const override { return false; }
    bool AutoCloseChecked() const override { return false; }

private:
    // ConnectionView: a new connection starts with an empty editor.
    void ConnectionChanging() override {}
    void ShowConnected() override { Editor = EditorSnapshot{}; }
    void ShowDisconnected() override {}
    void SetPortListEnabled(bool) override {}

    // HeadlessLoop
    void HandlerFailed(const std::string& what) override;

    bool red = false;
    int progressMax = 0;
    std::optional<std::string> error;
};

}  // namespace vyx::cli
