#include "WebHost.h"

#include "EditorObject.h"
#include "JsBytes.h"
#include "RecordLayout.h"

namespace vyx::web {

using emscripten::val;

namespace {

std::string PaneName(LogPane pane) {
    return pane == LogPane::Log ? "log" : "idList";
}

std::string IconName(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Warning:
            return "warning";
        case MsgIcon::Question:
            return "question";
        case MsgIcon::None:
            break;
    }
    return "none";
}

// Timer1 .. Timer3 are the page's timers 1 .. 3.
int TimerNumber(TimerId timer) {
    return static_cast<int>(timer) + 1;
}

}  // namespace

void WebHost::AppendLog(LogPane pane, const std::string& text) {
    if (pane == LogPane::Log && logTap) {
        logTap(text);
    }
    page.call<void>("appendLog", PaneName(pane), text);
}

void WebHost::SetLogColour(LogPane pane, std::uint32_t colour) {
    page.call<void>("setLogColour", PaneName(pane), colour);
}

void WebHost::ClearLog(LogPane pane) {
    page.call<void>("clearLog", PaneName(pane));
}

void WebHost::SetIdListText(const std::string& text) {
    page.call<void>("setIdListText", text);
}

void WebHost::SetProgressMax(int maximum) {
    page.call<void>("setProgressMax", maximum);
}

void WebHost::SetProgress(int position) {
    page.call<void>("setProgress", position);
}

MsgResult WebHost::ShowMessage(const std::string& text, const std::string& caption, MsgIcon icon,
                               MsgButtons buttons) {
    page.call<void>("showMessage", text, caption, IconName(icon));
    return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
}

void WebHost::SetTimerEnabled(TimerId timer, bool enabled) {
    timers[static_cast<std::size_t>(timer)] = enabled;
    page.call<void>("setTimerEnabled", TimerNumber(timer), enabled);
}

bool WebHost::TimerEnabled(TimerId timer) const {
    return timers[static_cast<std::size_t>(timer)];
}

void WebHost::WritePort(std::span<const std::uint8_t> bytes) {
    page.call<void>("write", BytesToJs(bytes));
}

int WebHost::ReadPort(std::uint8_t* buffer, int count) {
    return count <= 0 ? 0
                      : static_cast<int>(received.Take(buffer, static_cast<std::size_t>(count)));
}

EditorSnapshot WebHost::ReadEditor() const {
    return SnapshotFromObject(page.call<val>("readEditor"));
}

void WebHost::ApplyEditor(const EditorSnapshot& editor) {
    page.call<void>("applyEditor", SnapshotToObject(editor));
}

void WebHost::ClearListSelections() {
    page.call<void>("clearListSelections");
}

void WebHost::EmptyField(EditorField field) {
    page.call<void>("emptyField", std::string(EntryOf(field).Control));
}

void WebHost::SetWriteEnabled(bool enabled) {
    page.call<void>("setWriteEnabled", enabled);
}

bool WebHost::CalveraChecked() const {
    return page.call<val>("calveraChecked").isTrue();
}

bool WebHost::AutoCloseChecked() const {
    return page.call<val>("autoCloseChecked").isTrue();
}

}  // namespace vyx::web
