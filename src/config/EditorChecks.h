#pragma once
// The checks a configuration must pass before it is written: thirteen value
// checks in record order, each with its own message, then the three lists.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ConfigImage.h"
#include "EditorSnapshot.h"

namespace vyx {

/// A text is a number when it is not empty and holds only the characters 0-9.
bool IsDigits(std::string_view text);

/// The decimal value of a digits-only text; texts too long for 32 bits give the
/// largest value (so every range check refuses them). Nothing for other texts.
std::optional<std::uint32_t> DigitsValue(std::string_view text);

/// What one value edit accepts: digits, a value from Min to Max (never more than
/// its record field holds), and the name shown in brackets when it does not.
struct FieldRule {
    EditorField Field;
    std::uint32_t Min;
    std::uint32_t Max;
    std::string_view WriteName;   // in the write's message box
    std::string_view RemoteName;  // in the remote command list
};

/// The rule of a value edit (Acp .. Tbgl).
const FieldRule& RuleFor(EditorField field);

/// True when `text` passes the rule of `field`.
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
