#include "ProfileFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "EditorChecks.h"
#include "ProfileKeys.h"

namespace vyx {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view VersionKey = "format_version";

Json::json_pointer Pointer(std::string_view dotted) {
    std::string path;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = dotted.find('.', start);
        path += '/';
        path += dotted.substr(start, dot - start);
        if (dot == std::string_view::npos) {
            return Json::json_pointer(path);
        }
        start = dot + 1;
    }
}

class Checker {
public:
    Checker(const std::string& fileName, ProfileResult& result)
        : fileName(fileName), result(result) {}

    void Error(std::string_view key, const std::string& what) {
        std::string line = fileName + ": ";
        if (!key.empty()) {
            line += std::string(key) + ": ";
        }
        result.Errors.push_back(line + what);
    }

    // Every leaf of the document must be a key of the table.
    void FindUnknown(const Json& node, const std::string& prefix,
                     const std::set<std::string_view>& known,
                     const std::set<std::string>& containers) {
        for (const auto& [name, value] : node.items()) {
            const std::string key = prefix.empty() ? name : prefix + "." + name;
            if (containers.contains(key)) {
                if (value.is_object()) {
                    FindUnknown(value, key, known, containers);
                } else {
                    Error(key, "must be a group of keys, not a single value");
                }
            } else if (!known.contains(key)) {
                Error(key, "unknown key");
            }
        }
    }

    void Read(const Json& doc, const ProfileKey& key, EditorSnapshot& editor) {
        const Json::json_pointer pointer = Pointer(key.Key);
        const std::string allowed = " (allowed: " + ProfileAllowed(key) + ")";
        if (!doc.contains(pointer)) {
            Error(key.Key, "missing" + allowed);
            return;
        }
        const Json& value = doc.at(pointer);
        if (key.Kind == ProfileValueKind::Box) {
            if (!value.is_boolean()) {
                Error(key.Key, "wrong type: " + std::string(value.type_name()) + allowed);
                return;
            }
            ProfileBox(key, editor) = value.get<bool>();
            return;
        }
        if (!value.is_number_integer()) {
            Error(key.Key, "wrong type: " + std::string(value.type_name()) + allowed);
            return;
        }
        const std::int64_t number = value.get<std::int64_t>();
        if (key.Kind == ProfileValueKind::Number) {
            if (number < static_cast<std::int64_t>(key.Entry->Min) ||
                number > static_cast<std::int64_t>(key.Entry->Max)) {
                Error(key.Key, std::to_string(number) + " is out of range" + allowed);
                return;
            }
            editor.Text(key.Entry->Editor) = std::to_string(number);
            return;
        }
        const std::vector<unsigned> choices = ProfileChoices(key);
        for (std::size_t i = 0; i < choices.size(); ++i) {
            if (number == static_cast<std::int64_t>(choices[i])) {
                editor.List(key.Entry->Editor) = static_cast<int>(i);
                return;
            }
        }
        Error(key.Key, std::to_string(number) + " is not allowed" + allowed);
    }

private:
    const std::string& fileName;
    ProfileResult& result;
};

}  // namespace

ProfileResult ProfileFile::Parse(std::string_view text, const std::string& fileName) {
    ProfileResult result;
    Checker check(fileName, result);
    const Json doc = Json::parse(text, nullptr, false);
    if (doc.is_discarded()) {
        check.Error({}, "not a JSON document");
        return result;
    }
    if (!doc.is_object()) {
        check.Error({}, "not a profile: the document is not a group of keys");
        return result;
    }
    const std::string supported = " (allowed: " + std::to_string(FormatVersion) + ")";
    if (!doc.contains(VersionKey)) {
        check.Error(VersionKey, "missing" + supported);
        return result;
    }
    const Json& version = doc.at(VersionKey);
    if (!version.is_number_integer() || version.get<std::int64_t>() != FormatVersion) {
        check.Error(VersionKey, "version " + version.dump() + " is not supported" + supported);
        return result;
    }

    std::set<std::string_view> known{VersionKey};
    std::set<std::string> containers;
    for (const ProfileKey& key : ProfileKeys()) {
        known.insert(key.Key);
        for (std::size_t dot = key.Key.find('.'); dot != std::string::npos;
             dot = key.Key.find('.', dot + 1)) {
            containers.emplace(key.Key.substr(0, dot));
        }
    }
    check.FindUnknown(doc, "", known, containers);

    EditorSnapshot editor;
    for (const ProfileKey& key : ProfileKeys()) {
        check.Read(doc, key, editor);
    }
    if (result.Errors.empty()) {
        for (const ProfileKey& key : ProfileKeys()) {
            const std::vector<const ProfileKey*> others = ProfileExclusiveWith(key);
            if (others.empty() || !ProfileBox(key, editor)) {
                continue;
            }
            for (const ProfileKey* other : others) {
                if (ProfileBox(*other, editor)) {
                    check.Error(key.Key, "cannot be true together with " + other->Key +
                                             " (allowed: true only when both are false)");
                }
            }
        }
    }
    if (result.Errors.empty()) {
        result.Editor = editor;
    }
    return result;
}

ProfileResult ProfileFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ProfileResult result;
        result.Errors.push_back(path + ": cannot be read: " + std::strerror(errno));
        return result;
    }
    std::string text(MaxFileSize + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return ParseContents(text, path);
}

ProfileResult ProfileFile::ParseContents(std::string_view text, const std::string& fileName) {
    if (text.size() > MaxFileSize) {
        ProfileResult result;
        result.Errors.push_back(fileName + ": too large for a profile (allowed: up to " +
                                std::to_string(MaxFileSize) + " bytes)");
        return result;
    }
    return Parse(text, fileName);
}

std::string RefusalText(const ProfileResult& result) {
    std::string text;
    for (const std::string& error : result.Errors) {
        text += (text.empty() ? "" : "\r\n") + error;
    }
    return text;
}

std::optional<std::string> ProfileFile::Format(const EditorSnapshot& editor) {
    if (FirstFailingCheck(editor)) {
        return std::nullopt;
    }
    EditorSnapshot values = editor;
    Json doc;
    doc[VersionKey] = FormatVersion;
    for (const ProfileKey& key : ProfileKeys()) {
        Json& slot = doc[Pointer(key.Key)];
        switch (key.Kind) {
            case ProfileValueKind::Number:
                slot = *DigitsValue(values.Text(key.Entry->Editor));
                break;
            case ProfileValueKind::Choice:
                slot =
                    ProfileChoices(key)[static_cast<std::size_t>(values.List(key.Entry->Editor))];
                break;
            case ProfileValueKind::Box:
                slot = ProfileBox(key, values);
                break;
        }
    }
    return doc.dump(2) + "\n";
}

std::optional<std::string> ProfileFile::Save(const std::string& path,
                                             const EditorSnapshot& editor) {
    const std::optional<std::string> text = Format(editor);
    if (!text) {
        return path + ": not saved: the editor's values do not pass the checks";
    }
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << *text;
        out.flush();
        if (!out) {
            const std::string cause = std::strerror(errno);
            std::remove(temporary.c_str());
            return path + ": not saved: " + cause;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string cause = std::strerror(errno);
        std::remove(temporary.c_str());
        return path + ": not saved: " + cause;
    }
    return std::nullopt;
}

}  // namespace vyx
