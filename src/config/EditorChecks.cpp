#include "EditorChecks.h"

#include <array>
#include <limits>

namespace vyx {

namespace {

constexpr std::string_view WriteMessagePrefix = "Parâmetro inválido!\r\n[";
constexpr std::uint32_t ByteMax = 255;
constexpr std::uint32_t WordMax = 65535;

// In record order. A maximum never exceeds what the record field holds: ACP,
// ACN and VBGL take three digits but one byte, so 256..999 would be written
// truncated; they fail their own check instead.
constexpr std::array<FieldRule, EditorTextCount> Rules = {{
    {EditorField::Acp, 0, ByteMax, "Aceleração", "Aceleração"},
    {EditorField::Acn, 0, ByteMax, "Desaceleração", "Desaceleração"},
    {EditorField::Vmx, 0, 150, "Velocidade", "Velocidade"},
    {EditorField::Tvmx, 0, 60, "Tempo validação Velocidade", "Tempo validação Velocidade"},
    {EditorField::Vch, 0, 150, "Velocidade na Chuva", "Velocidade na Chuva"},
    {EditorField::Tvch, 0, 60, "Tempo validação Velocidade na Chuva",
     "Tempo validação Velocidade na Chuva"},
    {EditorField::Rpx, 1000, WordMax, "Rotação do Motor", "Rotação do Motor"},
    {EditorField::Trpx, 0, 60, "Tempo validação Rotação", "Tempo validação Rotação"},
    {EditorField::Tosc, 1, ByteMax, "Tempo osciosidade", "Tempo ociosidade"},
    {EditorField::Xosc, 0, 60, "Tempo excessão manobra", "Tempo excessão manobra"},
    {EditorField::Vbgl, 1, ByteMax, "Velocidade min. Banguela", "Velocidade min. Banguela"},
    {EditorField::Rbgl, 300, 1000, "Rotação max. Banguela", "Rotação max. Banguela"},
    {EditorField::Tbgl, 0, 30, "Tempo validação Banguela", "Tempo validação Banguela"},
}};

// The lists are looked at after the thirteen values; a write must not go out
// with a list that stands for no value.
struct ListRule {
    EditorField Field;
    int Count;
    std::string_view Name;
};
constexpr std::array<ListRule, EditorListCount> ListRules = {{
    {EditorField::Ping, static_cast<int>(PingSeconds.size()), "PING"},
    {EditorField::A232, static_cast<int>(BaudCodes.size()), "RS232-A"},
    {EditorField::B232, static_cast<int>(BaudCodes.size()), "RS232-B"},
}};

bool ValidPosition(int position, int count) {
    return position >= 0 && position < count;
}

std::string WriteMessage(std::string_view name) {
    std::string message(WriteMessagePrefix);
    message += name;
    message += ']';
    return message;
}

std::uint32_t Value(const EditorSnapshot& editor, EditorField field) {
    return DigitsValue(editor.Text(field)).value_or(0);
}

}  // namespace

bool IsDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::optional<std::uint32_t> DigitsValue(std::string_view text) {
    if (!IsDigits(text)) {
        return std::nullopt;
    }
    constexpr std::uint64_t limit = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    for (const char c : text) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > limit) {
            return static_cast<std::uint32_t>(limit);
        }
    }
    return static_cast<std::uint32_t>(value);
}

const FieldRule& RuleFor(EditorField field) {
    return Rules[EditorSnapshot::TextIndex(field)];
}

bool PassesRule(EditorField field, std::string_view text) {
    const FieldRule& rule = RuleFor(field);
    const auto value = DigitsValue(text);
    return value && *value >= rule.Min && *value <= rule.Max;
}

std::optional<CheckFailure> FirstFailingCheck(const EditorSnapshot& editor) {
    for (const FieldRule& rule : Rules) {
        if (!PassesRule(rule.Field, editor.Text(rule.Field))) {
            return CheckFailure{rule.Field, WriteMessage(rule.WriteName)};
        }
    }
    for (const ListRule& rule : ListRules) {
        if (!ValidPosition(editor.List(rule.Field), rule.Count)) {
            return CheckFailure{rule.Field, WriteMessage(rule.Name)};
        }
    }
    return std::nullopt;
}

std::optional<ConfigValues> ValuesFromSnapshot(const EditorSnapshot& e) {
    if (FirstFailingCheck(e)) {
        return std::nullopt;
    }
    using F = EditorField;
    auto byte = [&](F f) { return static_cast<std::uint8_t>(Value(e, f)); };
    auto word = [&](F f) { return static_cast<std::uint16_t>(Value(e, f)); };
    auto triple = [&](TripleCondition c) { return TripleActionByte(e.Triple(c)); };
    ConfigValues v;
    v.Ping = PingSeconds[static_cast<std::size_t>(e.List(F::Ping))];
    v.A232 = BaudCodes[static_cast<std::size_t>(e.List(F::A232))];
    v.B232 = BaudCodes[static_cast<std::size_t>(e.List(F::B232))];
    v.Acp = byte(F::Acp);
    v.Acn = byte(F::Acn);
    v.AcpAction = SingleActionByte(e.Acp);
    v.AcnAction = SingleActionByte(e.Acn);
    v.VmxAction = triple(TripleCondition::Vmx);
    v.Vmx = byte(F::Vmx);
    v.Tvmx = byte(F::Tvmx);
    v.VchAction = triple(TripleCondition::Vch);
    v.Vch = byte(F::Vch);
    v.Tvch = byte(F::Tvch);
    v.RpxAction = triple(TripleCondition::Rpx);
    v.Rpx = word(F::Rpx);
    v.Trpx = byte(F::Trpx);
    v.OscAction = triple(TripleCondition::Osc);
    v.Tosc = byte(F::Tosc);
    v.Xosc = byte(F::Xosc);
    v.BglAction = triple(TripleCondition::Bgl);
    v.Vbgl = byte(F::Vbgl);
    v.Rbgl = word(F::Rbgl);
    v.Tbgl = byte(F::Tbgl);
    return v;
}

}  // namespace vyx
