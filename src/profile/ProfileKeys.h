#pragma once
// The keys of a configuration profile, in record order, as the record table
// names them: one key per list and value field, one per box of each action
// (the action's stem plus its box's suffix). The profile file reads and writes
// through these keys only.

#include <span>
#include <string>
#include <vector>

#include "EditorSnapshot.h"
#include "RecordLayout.h"

namespace vyx {

enum class ProfileValueKind {
    Number,  ///< a value edit: a whole number within the edit's write check
    Choice,  ///< a list: one of the list's values in the field's own unit
    Box,     ///< a check box: true or false
};

struct ProfileKey {
    std::string Key;  ///< dotted path, e.g. "speed.buzzer.on_entry"
    ProfileValueKind Kind;
    const RecordEntry* Entry;  ///< the record row the key belongs to
    std::size_t Box;           ///< Box keys: index in the row's boxes (BoxesOf)
};

/// Every key of a profile, in record order.
std::span<const ProfileKey> ProfileKeys();

/// The values a Choice key allows, in list order (a list position indexes them).
std::vector<unsigned> ProfileChoices(const ProfileKey& key);

/// The box a Box key stands for.
bool& ProfileBox(const ProfileKey& key, EditorSnapshot& editor);

/// What a key allows, for messages: "um número inteiro de 0 a 150", "um destes:
/// 5, 10, ...", "true ou false".
std::string ProfileAllowed(const ProfileKey& key);

/// The value `editor` holds for `key`, as the profile writes it ("120", "19200",
/// "true"); "nenhum" for a list without a selection, "vazio" for an empty edit.
std::string ProfileValueText(const ProfileKey& key, EditorSnapshot& editor);

/// For a triple action's "Durante" key, the keys of the "Entrada" and "Saída"
/// buzzer boxes it may not stand with; empty for every other key.
std::vector<const ProfileKey*> ProfileExclusiveWith(const ProfileKey& key);

}  // namespace vyx
