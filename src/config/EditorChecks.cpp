#include "EditorChecks.h"

#include <limits>

namespace vyx {

namespace {

constexpr std::string_view WriteMessagePrefix = "Parâmetro inválido!\r\n[";

std::string WriteMessage(std::string_view name) {
    std::string message(WriteMessagePrefix);
    message += name;
    message += ']';
    return message;
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

bool PassesRule(EditorField field, std::string_view text) {
    const RecordEntry& row = EntryOf(field);
    const auto value = DigitsValue(text);
    return value && *value >= row.Min && *value <= row.Max;
}

std::optional<CheckFailure> FirstFailingCheck(const EditorSnapshot& editor) {
    for (const RecordEntry& row : RecordLayout) {
        if (row.Kind == FieldKind::Value && !PassesRule(row.Editor, editor.Text(row.Editor))) {
            return CheckFailure{row.Editor, WriteMessage(row.WriteName)};
        }
    }
    // The lists come after the values; a write must not go out with a list that
    // stands for no value.
    for (const RecordEntry& row : RecordLayout) {
        if (row.Kind == FieldKind::List && !ChoiceAt(row, editor.List(row.Editor))) {
            return CheckFailure{row.Editor, WriteMessage(row.WriteName)};
        }
    }
    return std::nullopt;
}

std::optional<ConfigValues> ValuesFromSnapshot(const EditorSnapshot& editor) {
    if (FirstFailingCheck(editor)) {
        return std::nullopt;
    }
    ConfigValues values;
    for (const RecordEntry& row : RecordLayout) {
        switch (row.Kind) {
            case FieldKind::List:
                values[row.Field] = *ChoiceAt(row, editor.List(row.Editor));
                break;
            case FieldKind::Value:
                values[row.Field] =
                    static_cast<std::uint16_t>(DigitsValue(editor.Text(row.Editor)).value_or(0));
                break;
            case FieldKind::SingleAction:
            case FieldKind::TripleAction:
                values[row.Field] = ActionByteOf(editor, row.Of);
                break;
        }
    }
    return values;
}

}  // namespace vyx
