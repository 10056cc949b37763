#include "ProfileDiff.h"

#include "EditorFaces.h"

namespace vyx {

namespace {

constexpr const char* SameAsDeviceText = "Vyx igual ao perfil";

// "Tempo máximo permitido para\nociosidade do motor [minutos]:" on one line, without
// its unit and colon; so is a group's caption without its padding.
std::string Plain(std::string_view label) {
    std::string text;
    for (const char c : label.substr(0, label.find_first_of("[:"))) {
        text += c == '\n' ? ' ' : c;
    }
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string BoxCaption(const ProfileKey& key) {
    const std::string caption = Plain(GroupCaption(key.Entry->Control));
    const ActionBoxFace& box = BoxesOf(*key.Entry)[key.Box];
    if (key.Entry->Kind == FieldKind::SingleAction) {
        return caption + " / " + std::string(box.Caption);
    }
    const std::string_view group = box.Buzzer ? BuzzerGroupCaption : EventGroupCaption;
    return caption + " / " + Plain(group) + " / " + std::string(box.Caption);
}

}  // namespace

std::string ProfileKeyCaption(const ProfileKey& key) {
    switch (key.Kind) {
        case ProfileValueKind::Number:
            if (const EditFace* face = EditFaceOf(key.Entry->Control)) {
                return Plain(face->Label);
            }
            break;
        case ProfileValueKind::Choice:
            if (const ListFace* face = ListFaceOf(key.Entry->Control)) {
                return Plain(face->Label);
            }
            break;
        case ProfileValueKind::Box:
            return BoxCaption(key);
    }
    return std::string(key.Entry->Control);
}

std::vector<ProfileDifference> ProfileDiff(const EditorSnapshot& device,
                                           const EditorSnapshot& profile) {
    // ProfileValueText reaches boxes through a reference into the snapshot.
    EditorSnapshot held = device;
    EditorSnapshot wanted = profile;
    std::vector<ProfileDifference> differences;
    for (const ProfileKey& key : ProfileKeys()) {
        std::string before = ProfileValueText(key, held);
        std::string after = ProfileValueText(key, wanted);
        if (before != after) {
            differences.push_back({&key, std::move(before), std::move(after)});
        }
    }
    return differences;
}

std::string DifferenceLine(const ProfileDifference& difference) {
    return difference.Key->Key + " (" + ProfileKeyCaption(*difference.Key) +
           "): " + difference.Device + " → " + difference.Profile;
}

std::vector<std::string> ProfileDiffLines(const EditorSnapshot& device,
                                          const EditorSnapshot& profile) {
    std::vector<std::string> lines;
    for (const ProfileDifference& difference : ProfileDiff(device, profile)) {
        lines.push_back(DifferenceLine(difference));
    }
    return lines;
}

std::vector<std::string> ProfileOpenedLines(const EditorSnapshot& device,
                                            const EditorSnapshot& profile) {
    std::vector<std::string> lines = ProfileDiffLines(device, profile);
    if (lines.empty()) {
        lines.push_back(SameAsDeviceText);
    }
    return lines;
}

}  // namespace vyx
