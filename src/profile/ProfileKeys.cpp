#include "ProfileKeys.h"

namespace vyx {

namespace {

std::vector<ProfileKey> MakeKeys() {
    std::vector<ProfileKey> keys;
    for (const RecordEntry& entry : RecordLayout) {
        const std::string stem(entry.ProfileKey);
        switch (entry.Kind) {
            case FieldKind::List:
                keys.push_back({stem, ProfileValueKind::Choice, &entry, 0});
                break;
            case FieldKind::Value:
                keys.push_back({stem, ProfileValueKind::Number, &entry, 0});
                break;
            case FieldKind::SingleAction:
            case FieldKind::TripleAction: {
                const auto boxes = BoxesOf(entry);
                for (std::size_t i = 0; i < boxes.size(); ++i) {
                    keys.push_back(
                        {stem + "." + std::string(boxes[i].Key), ProfileValueKind::Box, &entry, i});
                }
                break;
            }
        }
    }
    return keys;
}

}  // namespace

std::span<const ProfileKey> ProfileKeys() {
    static const std::vector<ProfileKey> keys = MakeKeys();
    return keys;
}

std::vector<unsigned> ProfileChoices(const ProfileKey& key) {
    std::vector<unsigned> values;
    for (const std::uint16_t choice : key.Entry->Choices) {
        values.push_back(choice * key.Entry->Scale);
    }
    return values;
}

bool& ProfileBox(const ProfileKey& key, EditorSnapshot& editor) {
    return ActionBox(editor, *key.Entry, key.Box);
}

std::string ProfileAllowed(const ProfileKey& key) {
    switch (key.Kind) {
        case ProfileValueKind::Number:
            return "um número inteiro de " + std::to_string(key.Entry->Min) + " a " +
                   std::to_string(key.Entry->Max);
        case ProfileValueKind::Choice: {
            std::string text = "um destes:";
            const char* separator = " ";
            for (const unsigned value : ProfileChoices(key)) {
                text += separator + std::to_string(value);
                separator = ", ";
            }
            return text;
        }
        case ProfileValueKind::Box:
            break;
    }
    return "true ou false";
}

std::string ProfileValueText(const ProfileKey& key, EditorSnapshot& editor) {
    switch (key.Kind) {
        case ProfileValueKind::Number: {
            const std::string& text = editor.Text(key.Entry->Editor);
            return text.empty() ? "vazio" : text;
        }
        case ProfileValueKind::Choice: {
            const std::vector<unsigned> choices = ProfileChoices(key);
            const int position = editor.List(key.Entry->Editor);
            if (position < 0 || static_cast<std::size_t>(position) >= choices.size()) {
                return "nenhum";
            }
            return std::to_string(choices[static_cast<std::size_t>(position)]);
        }
        case ProfileValueKind::Box:
            break;
    }
    return ProfileBox(key, editor) ? "true" : "false";
}

std::vector<const ProfileKey*> ProfileExclusiveWith(const ProfileKey& key) {
    if (key.Kind != ProfileValueKind::Box ||
        BoxesOf(*key.Entry)[key.Box].Coupling != BuzzerBox::While) {
        return {};
    }
    // The editor never lets "Durante" stand with "Entrada" or "Saída".
    std::vector<const ProfileKey*> others;
    for (const ProfileKey& other : ProfileKeys()) {
        if (other.Kind == ProfileValueKind::Box && other.Entry == key.Entry &&
            BoxesOf(*other.Entry)[other.Box].Coupling.has_value() && other.Box != key.Box) {
            others.push_back(&other);
        }
    }
    return others;
}

}  // namespace vyx
