#pragma once
// The names a configuration profile gives the editor's values, in record order:
// what each key means, which value of the editor it stands for, and what it
// allows. The profile file reads and writes through this table only.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "EditorSnapshot.h"

namespace vyx {

enum class ProfileValueKind {
    Number,  ///< a value edit: a whole number within the edit's write check
    Choice,  ///< a list: one of the list's values (seconds or baud)
    Box,     ///< a check box: true or false
};

struct ProfileKey {
    std::string_view Key;  ///< dotted path, e.g. "speed.buzzer.on_entry"
    ProfileValueKind Kind;
    EditorField Field;              ///< Number and Choice
    bool& (*Box)(EditorSnapshot&);  ///< Box: the box it stands for
};

/// Every key of a profile, in record order.
std::span<const ProfileKey> ProfileKeys();

/// The values a Choice key allows, in list order (a list position indexes them).
std::vector<unsigned> ProfileChoices(EditorField field);

/// What a key allows, for messages: "0 to 150", "one of 5, 10, ...", "true or false".
std::string ProfileAllowed(const ProfileKey& key);

/// The value `editor` holds for `key`, as the profile writes it ("120", "19200",
/// "true"); "none" for a list without a selection, "empty" for an empty edit.
std::string ProfileValueText(const ProfileKey& key, EditorSnapshot& editor);

/// For a triple condition's "Durante" box key, the keys of the "Entrada" and
/// "Saída" boxes it may not stand with; empty for every other key.
std::vector<std::string_view> ProfileExclusiveWith(const ProfileKey& key);

}  // namespace vyx
