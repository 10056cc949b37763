#pragma once
// What the device logic inside a DeviceSession reaches: the door's host, editor
// and port, passed through unchanged, with the few things the session tells as
// outcomes taken on the way: the frames written (for the resend count), the
// exchanges' failure boxes and the read's end.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "ConfigHost.h"
#include "LinkHost.h"
#include "PortIo.h"

namespace vyx {

class SessionRelay : public LinkHost, public PortIo, public ConfigHost {
public:
    SessionRelay(LinkHost& host, PortIo& port, ConfigHost& editor)
        : host(host), port(port), editor(editor) {}

    /// Told of a box before it is shown (caption, text).
    std::function<void(const std::string& caption, const std::string& text)> OnMessage;
    /// Told when the logic allows a write again (only the read's end does that
    /// through the relay; the session's own write end goes to the editor itself).
    std::function<void()> OnWriteAllowed;
    /// Told after each frame written.
    std::function<void()> OnWrite;
    /// Frames written since the last ResetWrites.
    std::uint32_t Writes() const { return writes; }
    void ResetWrites() { writes = 0; }

    // LinkHost
    void AppendLog(LogPane pane, const std::string& text) override { host.AppendLog(pane, text); }
    void SetLogColour(LogPane pane, std::uint32_t colour) override {
        host.SetLogColour(pane, colour);
    }
    void ClearLog(LogPane pane) override { host.ClearLog(pane); }
    void SetIdListText(const std::string& text) override { host.SetIdListText(text); }
    void SetProgressMax(int maximum) override { host.SetProgressMax(maximum); }
    void SetProgress(int position) override { host.SetProgress(position); }
    MsgResult ShowMessage(const std::string& text, const std::string& caption, MsgIcon icon,
                          MsgButtons buttons) override {
        if (OnMessage) {
            OnMessage(caption, text);
        }
        return host.ShowMessage(text, caption, icon, buttons);
    }
    void SetTimerEnabled(TimerId timer, bool enabled) override {
        host.SetTimerEnabled(timer, enabled);
    }
    bool TimerEnabled(TimerId timer) const override { return host.TimerEnabled(timer); }
    void ProcessMessages() override { host.ProcessMessages(); }

    // PortIo
    bool PortOpen() const override { return port.PortOpen(); }
    void WritePort(std::span<const std::uint8_t> bytes) override {
        ++writes;
        port.WritePort(bytes);
        if (OnWrite) {
            OnWrite();
        }
    }
    int ReadPort(std::uint8_t* buffer, int count) override { return port.ReadPort(buffer, count); }

    // ConfigHost
    EditorSnapshot ReadEditor() const override { return editor.ReadEditor(); }
    void ApplyEditor(const EditorSnapshot& snapshot) override { editor.ApplyEditor(snapshot); }
    void ClearListSelections() override { editor.ClearListSelections(); }
    void EmptyField(EditorField field) override { editor.EmptyField(field); }
    void SetWriteEnabled(bool enabled) override {
        if (enabled && OnWriteAllowed) {
            OnWriteAllowed();
        }
        editor.SetWriteEnabled(enabled);
    }
    bool CalveraChecked() const override { return editor.CalveraChecked(); }
    bool AutoCloseChecked() const override { return editor.AutoCloseChecked(); }

private:
    LinkHost& host;
    PortIo& port;
    ConfigHost& editor;
    std::uint32_t writes = 0;
};

}  // namespace vyx
