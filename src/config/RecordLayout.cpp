#include "RecordLayout.h"

#include <algorithm>

namespace vyx {

namespace {

constexpr bool RowsInRecordOrder() {
    std::size_t offset = RecordFieldsOffset;
    for (std::size_t i = 0; i < RecordLayout.size(); ++i) {
        const RecordEntry& row = RecordLayout[i];
        if (static_cast<std::size_t>(row.Field) != i || row.Offset != offset ||
            (row.Width != 1 && row.Width != 2)) {
            return false;
        }
        offset += row.Width;
    }
    return offset == RecordSumOffset;
}
static_assert(RowsInRecordOrder(), "rows follow RecordField, back to back, up to the sum");

constexpr bool LimitsFitTheirFields() {
    for (const RecordEntry& row : RecordLayout) {
        const std::uint32_t widest = row.Width == 1 ? 0xFFu : 0xFFFFu;
        if (row.Kind == FieldKind::Value && (row.Min > row.Max || row.Max > widest)) {
            return false;
        }
    }
    return true;
}
static_assert(LimitsFitTheirFields(), "an accepted value must fit its record field");

// Profiles and the window find a row by its key or its control.
constexpr bool KeysAndControlsUnique() {
    for (std::size_t i = 0; i < RecordLayout.size(); ++i) {
        for (std::size_t j = i + 1; j < RecordLayout.size(); ++j) {
            if (RecordLayout[i].ProfileKey == RecordLayout[j].ProfileKey ||
                RecordLayout[i].Control == RecordLayout[j].Control) {
                return false;
            }
        }
    }
    return true;
}
static_assert(KeysAndControlsUnique(), "profile keys and control names are unique");

}  // namespace

const RecordEntry& EntryOf(RecordField field) {
    return RecordLayout[static_cast<std::size_t>(field)];
}

const RecordEntry& EntryOf(EditorField field) {
    const auto* row =
        std::find_if(RecordLayout.begin(), RecordLayout.end(), [field](const auto& r) {
            return (r.Kind == FieldKind::List || r.Kind == FieldKind::Value) && r.Editor == field;
        });
    return *row;  // every editor field has its row
}

const RecordEntry* EntryWithKey(std::string_view key) {
    const auto* row = std::find_if(RecordLayout.begin(), RecordLayout.end(),
                                   [key](const auto& r) { return r.ProfileKey == key; });
    return row == RecordLayout.end() ? nullptr : row;
}

std::optional<TripleCondition> TripleOf(Condition condition) {
    switch (condition) {
        case Condition::Vmx:
            return TripleCondition::Vmx;
        case Condition::Vch:
            return TripleCondition::Vch;
        case Condition::Rpx:
            return TripleCondition::Rpx;
        case Condition::Osc:
            return TripleCondition::Osc;
        case Condition::Bgl:
            return TripleCondition::Bgl;
        default:
            return std::nullopt;
    }
}

std::uint8_t ActionByteOf(const EditorSnapshot& editor, Condition condition) {
    if (condition == Condition::Acp) {
        return SingleActionByte(editor.Acp);
    }
    if (condition == Condition::Acn) {
        return SingleActionByte(editor.Acn);
    }
    const auto triple = TripleOf(condition);
    return triple ? TripleActionByte(editor.Triple(*triple)) : 0;
}

std::span<const ActionBoxFace> BoxesOf(const RecordEntry& action) {
    switch (action.Kind) {
        case FieldKind::SingleAction:
            return SingleActionBoxes;
        case FieldKind::TripleAction:
            return TripleActionBoxes;
        default:
            return {};
    }
}

bool& ActionBox(EditorSnapshot& editor, const RecordEntry& action, std::size_t box) {
    // Members in the order of the boxes' tables.
    if (action.Of == Condition::Acp || action.Of == Condition::Acn) {
        SingleBoxes& boxes = action.Of == Condition::Acp ? editor.Acp : editor.Acn;
        return box == 0 ? boxes.Buzzer : boxes.Event;
    }
    TripleBoxes& boxes = editor.Triple(*TripleOf(action.Of));
    bool* const members[] = {&boxes.BuzzerIn, &boxes.BuzzerOut, &boxes.BuzzerWhile, &boxes.EventIn,
                             &boxes.EventOut};
    return *members[box];
}

std::string_view ConditionCode(const RecordEntry& action) {
    return action.Control.substr(3);  // the group's "GB_" left out
}

std::string BoxControl(const RecordEntry& action, std::size_t box) {
    const ActionBoxFace& face = BoxesOf(action)[box];
    return std::string(face.Buzzer ? "CB_BZ_" : "CB_EV_") + std::string(ConditionCode(action)) +
           std::string(face.Suffix);
}

std::optional<std::uint16_t> ChoiceAt(const RecordEntry& list, int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= list.Choices.size()) {
        return std::nullopt;
    }
    return list.Choices[static_cast<std::size_t>(position)];
}

}  // namespace vyx
