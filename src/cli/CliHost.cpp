#include "CliHost.h"

#include "PortTrouble.h"

namespace vyx::cli {

CliHost::CliHost() : HeadlessLoop(HandOverQueueUse::OwnForThisThread, *this, *this) {}

CliHost::~CliHost() {
    Close();
}

std::optional<std::string> CliHost::Open(const std::string& path) {
    if (port.Connected()) {
        Close();
    }
    try {
        std::string why;
        const auto refused = [&](const EComPort& e) { why = PortTrouble::Explain(e, path); };
        if (connection.Toggle(path, refused) != ConnectResult::Opened) {
            return why;
        }
    } catch (const EComPort& e) {
        // Opened, but its queues could not be emptied.
        Close();
        return PortTrouble::Explain(e, path);
    }
    return std::nullopt;
}

void CliHost::Close() {
    if (!port.Connected()) {
        return;
    }
    try {
        connection.Close();
    } catch (const EComPort&) {
        // Going away: the port object lets the device go on its own.
    }
}

void CliHost::HandlerFailed(const std::string& what) {
    if (!error) {
        error = what;
    }
}

void CliHost::AppendLog(LogPane pane, const std::string& text) {
    if (pane == LogPane::Log && OnLog) {
        OnLog(text, red);
    }
}

void CliHost::SetLogColour(LogPane pane, std::uint32_t colour) {
    if (pane == LogPane::Log) {
        red = colour == LogRed;
    }
}

void CliHost::ClearLog(LogPane pane) {
    if (pane == LogPane::Log) {
        red = false;
    }
}

void CliHost::SetProgressMax(int maximum) {
    progressMax = maximum;
}

void CliHost::SetProgress(int position) {
    if (OnProgress) {
        OnProgress(position, progressMax);
    }
}

MsgResult CliHost::ShowMessage(const std::string&, const std::string&, MsgIcon,
                               MsgButtons buttons) {
    return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
}

void CliHost::ApplyEditor(const EditorSnapshot& editor) {
    // A decoded block, the defaults and the preset never set "Durante" together
    // with "Entrada" or "Saída", so the buzzer coupling has nothing to do here.
    Editor = editor;
}

void CliHost::ClearListSelections() {
    Editor.Lists.fill(NoSelection);
}

void CliHost::EmptyField(EditorField field) {
    if (!IsList(field)) {
        Editor.Text(field).clear();
    }
}

}  // namespace vyx::cli
