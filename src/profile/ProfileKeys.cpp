#include "ProfileKeys.h"

namespace vyx {

namespace {

// Box indexes in TripleBoxKeys order.
constexpr std::size_t BuzzerIn = 0;
constexpr std::size_t BuzzerOut = 1;
constexpr std::size_t BuzzerWhile = 2;

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
                for (std::size_t i = 0; i < SingleBoxKeys.size(); ++i) {
                    keys.push_back({stem + "." + std::string(SingleBoxKeys[i]),
                                    ProfileValueKind::Box, &entry, i});
                }
                break;
            case FieldKind::TripleAction:
                for (std::size_t i = 0; i < TripleBoxKeys.size(); ++i) {
                    keys.push_back({stem + "." + std::string(TripleBoxKeys[i]),
                                    ProfileValueKind::Box, &entry, i});
                }
                break;
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
    const Condition of = key.Entry->Of;
    if (of == Condition::Acp || of == Condition::Acn) {
        SingleBoxes& boxes = of == Condition::Acp ? editor.Acp : editor.Acn;
        return key.Box == 0 ? boxes.Buzzer : boxes.Event;
    }
    TripleBoxes& boxes = editor.Triple(*TripleOf(of));
    bool* const members[] = {&boxes.BuzzerIn, &boxes.BuzzerOut, &boxes.BuzzerWhile, &boxes.EventIn,
                             &boxes.EventOut};
    return *members[key.Box];
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
    if (key.Kind != ProfileValueKind::Box || key.Entry->Kind != FieldKind::TripleAction ||
        key.Box != BuzzerWhile) {
        return {};
    }
    // The editor never lets "Durante" stand with "Entrada" or "Saída"; those two
    // keys come right before it.
    const ProfileKey* self = &key;
    return {self - (BuzzerWhile - BuzzerIn), self - (BuzzerWhile - BuzzerOut)};
}

}  // namespace vyx
