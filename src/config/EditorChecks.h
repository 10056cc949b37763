#pragma once
// The checks a configuration must pass before it is written: thirteen value
// checks in record order, each with its own message, then the three lists.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ConfigImage.h"
#include "EditorSnapshot.h"
#include "RecordLayout.h"

namespace vyx {

/// A text is a number when it is not empty and holds only the characters 0-9.
bool IsDigits(std::string_view text);

/// The decimal value of a digits-only text; texts too long for 32 bits give the
/// largest value (so every range check refuses them). Nothing for other texts.
std::optional<std::uint32_t> DigitsValue(std::string_view text);

/// True when `text` is digits within the Min..Max of the value edit `field`.
bool PassesRule(EditorField field, std::string_view text);

/// Caption of the message box of a failed check.
inline constexpr std::string_view CheckFailureCaption = "Erro";

struct CheckFailure {
    EditorField Field;
    std::string Message;  // e.g. "Parâmetro inválido!\r\n[Velocidade]"
    /// The failing edit is emptied after the message; a list is left as it is.
    bool EmptiesField() const { return !IsList(Field); }
    bool operator==(const CheckFailure&) const = default;
};

/// The first check the snapshot fails, in the write's order (ED_ACP .. ED_TBGL,
/// then CB_PING, CB_A232, CB_B232 without a selection), or nothing when all pass.
std::optional<CheckFailure> FirstFailingCheck(const EditorSnapshot& editor);

/// The record values of a snapshot that passes every check; nothing otherwise.
std::optional<ConfigValues> ValuesFromSnapshot(const EditorSnapshot& editor);

}  // namespace vyx
