#include "RemoteCommands.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string_view>

#include "ConfigImage.h"
#include "EditorChecks.h"

namespace vyx {

namespace {

constexpr std::string_view Heading = "Comandos de configuração remota:";
constexpr std::string_view ErrorPrefix = "Parâmetro inválido! [";
constexpr std::size_t FilledWidth = 25;

enum class Action { Acp, Acn, Vmx, Vch, Rpx, Osc, Bgl };

// A command built from value edits and an action byte.
struct ValueCommand {
    std::string_view Name;
    std::array<std::optional<EditorField>, 3> Fields;
    Action ActionByte;
    std::string_view Label;
};

using F = EditorField;
constexpr std::array<ValueCommand, 7> ValueCommands = {{
    {"#CACP", {F::Acp}, Action::Acp, "Aceleração"},
    {"#CACN", {F::Acn}, Action::Acn, "Desaceleração"},
    {"#CVMX", {F::Vmx, F::Tvmx}, Action::Vmx, "Velocidade"},
    {"#CVCH", {F::Vch, F::Tvch}, Action::Vch, "Velocidade na chuva"},
    {"#CRPX", {F::Rpx, F::Trpx}, Action::Rpx, "Rotação do motor"},
    {"#COCS", {F::Tosc, F::Xosc}, Action::Osc, "Ociosidade do motor"},
    {"#CBGL", {F::Vbgl, F::Rbgl, F::Tbgl}, Action::Bgl, "Banguela"},
}};

std::uint8_t ActionByteOf(const EditorSnapshot& e, Action action) {
    switch (action) {
        case Action::Acp:
            return SingleActionByte(e.Acp);
        case Action::Acn:
            return SingleActionByte(e.Acn);
        case Action::Vmx:
            return TripleActionByte(e.Triple(TripleCondition::Vmx));
        case Action::Vch:
            return TripleActionByte(e.Triple(TripleCondition::Vch));
        case Action::Rpx:
            return TripleActionByte(e.Triple(TripleCondition::Rpx));
        case Action::Osc:
            return TripleActionByte(e.Triple(TripleCondition::Osc));
        case Action::Bgl:
            return TripleActionByte(e.Triple(TripleCondition::Bgl));
    }
    return 0;
}

std::string ErrorLine(std::string_view name) {
    std::string line(ErrorPrefix);
    line += name;
    line += ']';
    return line;
}

template <std::size_t N>
std::optional<std::uint16_t> TableEntry(const std::array<std::uint16_t, N>& table, int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= N) {
        return std::nullopt;
    }
    return table[static_cast<std::size_t>(position)];
}

std::string ListCommand(std::string_view name, std::uint32_t value) {
    return std::string(name) + "[" + std::to_string(value) + "]";
}

void AddValueCommand(const EditorSnapshot& e, const ValueCommand& command, RemoteCommandList& out) {
    std::string text(command.Name);
    text += '[';
    for (const auto& field : command.Fields) {
        if (!field) {
            continue;
        }
        const std::string& value = e.Text(*field);
        if (!PassesRule(*field, value)) {
            out.Lines.push_back(ErrorLine(RuleFor(*field).RemoteName));
            out.FieldsToEmpty.push_back(*field);
            return;
        }
        text += value;
        text += ',';
    }
    char action[8];
    std::snprintf(action, sizeof action, "%.2d", ActionByteOf(e, command.ActionByte));
    text += action;
    text += ']';
    out.Lines.push_back(RemoteCommandLine(text, std::string(command.Label)));
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

    const auto ping = TableEntry(PingSeconds, e.List(F::Ping));
    out.Lines.push_back(ping ? RemoteCommandLine(ListCommand("#CPI", *ping), "PING")
                             : ErrorLine("PING"));
    const auto baud = TableEntry(BaudCodes, e.List(F::B232));
    out.Lines.push_back(baud ? RemoteCommandLine(ListCommand("#CBR", *baud * 100u), "RS232-B")
                             : ErrorLine("RS232-B"));

    for (const ValueCommand& command : ValueCommands) {
        AddValueCommand(e, command, out);
    }
    return out;
}

}  // namespace vyx
