#include "RemoteCommands.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "EditorChecks.h"
#include "RecordLayout.h"

namespace vyx {

namespace {

constexpr std::string_view Heading = "Comandos de configuração remota:";
constexpr std::string_view ErrorPrefix = "Parâmetro inválido! [";
constexpr std::size_t FilledWidth = 25;

std::string ErrorLine(std::string_view name) {
    std::string line(ErrorPrefix);
    line += name;
    line += ']';
    return line;
}

// A list's command carries the list's value in its own unit (the bit rate, not its code).
void AddListCommand(const EditorSnapshot& e, const RecordEntry& list, RemoteCommandList& out) {
    const auto value = ChoiceAt(list, e.List(list.Editor));
    if (!value) {
        out.Lines.push_back(ErrorLine(list.RemoteName));
        return;
    }
    const std::string command = std::string(list.RemoteCommand) + "[" +
                                std::to_string(static_cast<std::uint32_t>(*value) * list.Scale) +
                                "]";
    out.Lines.push_back(RemoteCommandLine(command, std::string(list.RemoteName)));
}

// A condition's command: its value edits in record order, then its action byte.
void AddConditionCommand(const EditorSnapshot& e, const RecordEntry& action,
                         RemoteCommandList& out) {
    std::string text(action.RemoteCommand);
    text += '[';
    for (const RecordEntry& row : RecordLayout) {
        if (row.Kind != FieldKind::Value || row.Of != action.Of) {
            continue;
        }
        // The same limits as the write's checks. ACP, ACN and VBGL refuse 256..999
        // too: the device stores one byte, so a listed command with such a value
        // would configure a different number.
        const std::string& value = e.Text(row.Editor);
        if (!PassesRule(row.Editor, value)) {
            out.Lines.push_back(ErrorLine(row.RemoteName));
            out.FieldsToEmpty.push_back(row.Editor);
            return;
        }
        text += value;
        text += ',';
    }
    char actionText[8];
    std::snprintf(actionText, sizeof actionText, "%.2d", ActionByteOf(e, action.Of));
    text += actionText;
    text += ']';
    out.Lines.push_back(RemoteCommandLine(text, std::string(action.RemoteName)));
}

}  // namespace

std::string RemoteCommandLine(const std::string& command, const std::string& label) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::uint8_t check = 0;
    for (const char c : command) {
        check ^= static_cast<std::uint8_t>(c);
    }
    std::string line = command;
    line += Hex[check >> 4];
    line += Hex[check & 0x0F];
    if (line.size() < FilledWidth) {
        line.append(FilledWidth - line.size(), '_');
    }
    return line + label;
}

RemoteCommandList MakeRemoteCommandList(const EditorSnapshot& e) {
    RemoteCommandList out;
    out.Lines.emplace_back(Heading);
    for (const RecordEntry& row : RecordLayout) {
        if (row.Kind == FieldKind::List && !row.RemoteCommand.empty()) {
            AddListCommand(e, row, out);
        }
    }
    for (const RecordEntry& row : RecordLayout) {
        if ((row.Kind == FieldKind::SingleAction || row.Kind == FieldKind::TripleAction) &&
            !row.RemoteCommand.empty()) {
            AddConditionCommand(e, row, out);
        }
    }
    return out;
}

}  // namespace vyx
