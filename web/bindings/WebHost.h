#pragma once
// The device logic's host in the browser: log lines, progress, boxes, timers,
// the editor and the port's frames go to the page's host object; the bytes the
// page received wait here until the receive handler reads them. Every call
// happens on the page's one thread.

#include <emscripten/val.h>

#include <array>
#include <functional>

#include "ConfigHost.h"
#include "LinkHost.h"
#include "PortIo.h"
#include "ReceiveBuffer.h"

namespace vyx::web {

class WebHost : public LinkHost, public PortIo, public ConfigHost {
public:
    explicit WebHost(emscripten::val page) : page(std::move(page)) {}

    void AppendLog(LogPane pane, const std::string& text) override;
    void SetLogColour(LogPane pane, std::uint32_t colour) override;
    void ClearLog(LogPane pane) override;
    void SetIdListText(const std::string& text) override;
    void SetProgressMax(int maximum) override;
    void SetProgress(int position) override;
    /// The page shows the box and the logic goes on at once: the device logic
    /// only asks for OK boxes (a question would be answered "No").
    MsgResult ShowMessage(const std::string& text, const std::string& caption, MsgIcon icon,
                          MsgButtons buttons) override;
    void SetTimerEnabled(TimerId timer, bool enabled) override;
    bool TimerEnabled(TimerId timer) const override;
    /// Nothing to pump: the page runs each event to its end.
    void ProcessMessages() override {}

    bool PortOpen() const override { return open; }
    void WritePort(std::span<const std::uint8_t> bytes) override;
    int ReadPort(std::uint8_t* buffer, int count) override;

    EditorSnapshot ReadEditor() const override;
    void ApplyEditor(const EditorSnapshot& editor) override;
    void ClearListSelections() override;
    void EmptyField(EditorField field) override;
    void SetWriteEnabled(bool enabled) override;
    bool CalveraChecked() const override;
    bool AutoCloseChecked() const override;

    void SetPortOpen(bool value) { open = value; }
    /// Every line of the connection's log goes to `tap` too (the visit keeps them).
    void TapLog(std::function<void(const std::string&)> tap) { logTap = std::move(tap); }
    ReceiveBuffer& Received() { return received; }

private:
    emscripten::val page;
    bool open = false;
    std::array<bool, 3> timers{};
    ReceiveBuffer received;
    std::function<void(const std::string&)> logTap;
};

}  // namespace vyx::web
