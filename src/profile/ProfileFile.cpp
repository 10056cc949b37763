#include "ProfileFile.h"

#include <limits>
#include <nlohmann/json.hpp>
#include <set>

#include "EditorChecks.h"
#include "ProfileFileSystem.h"
#include "ProfileKeys.h"
#include "ProfileSyntax.h"

namespace vyx {

namespace {

using Json = nlohmann::ordered_json;
using profile_file::FileRefusal;

constexpr std::string_view VersionKey = "format_version";
// Marks a profile saved from a device whose values fail the checks.
constexpr std::string_view UncheckedKey = "unchecked";

// A key the profile must hold is not there, or holds null.
const std::string Missing = "ausente";

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

// The JSON types in the words of the messages.
std::string WrongType(const Json& value) {
    switch (value.type()) {
        case Json::value_t::null:
            return "tipo errado: null";
        case Json::value_t::boolean:
            return "tipo errado: booleano";
        case Json::value_t::string:
            return "tipo errado: texto";
        case Json::value_t::array:
            return "tipo errado: lista";
        case Json::value_t::object:
            return "tipo errado: grupo de chaves";
        default:
            return "tipo errado: número";
    }
}

std::string Allowed(const ProfileKey& key) {
    return " (permitido: " + ProfileAllowed(key) + ")";
}

// The words for a whole number a key does not take, the same whether the number
// comes from a file or from a device.
std::string Refused(const ProfileKey& key, const std::string& number) {
    return number +
           (key.Kind == ProfileValueKind::Choice ? " não é permitido" : " está fora do intervalo") +
           Allowed(key);
}

// What is wrong with the value `editor` holds for `key`; nothing when it passes.
std::optional<std::string> Failure(const ProfileKey& key, EditorSnapshot& editor) {
    switch (key.Kind) {
        case ProfileValueKind::Number: {
            const std::string& text = editor.Text(key.Entry->Editor);
            if (PassesRule(key.Entry->Editor, text)) {
                return std::nullopt;
            }
            if (text.empty()) {
                return Missing + Allowed(key);
            }
            if (!IsDigits(text)) {
                return "\"" + PrintableText(text, QuoteLimit) + "\" não é um número inteiro" +
                       Allowed(key);
            }
            return Refused(key, text);
        }
        case ProfileValueKind::Choice:
            if (ChoiceAt(*key.Entry, editor.List(key.Entry->Editor))) {
                return std::nullopt;
            }
            return Missing + Allowed(key);
        case ProfileValueKind::Box:
            break;
    }
    return std::nullopt;
}

class Checker {
public:
    Checker(const std::string& fileName, ProfileResult& result)
        : fileName(PrintableText(fileName)), result(result) {}

    void Error(std::string_view key, const std::string& what) {
        std::string line = fileName + ": ";
        if (!key.empty()) {
            line += PrintableText(key, QuoteLimit) + ": ";
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
                    Error(key, "deve ser um grupo de chaves, não um valor único");
                }
            } else if (!known.contains(key)) {
                Error(key, "chave desconhecida");
            }
        }
    }

    void Read(const Json& doc, const ProfileKey& key, EditorSnapshot& editor,
              const ProfileSyntax& syntax) {
        const Json::json_pointer pointer = Pointer(key.Key);
        // An unchecked profile holds null where the editor held no value.
        if (!doc.contains(pointer) || doc.at(pointer).is_null()) {
            Error(key.Key, Missing + Allowed(key));
            return;
        }
        const Json& value = doc.at(pointer);
        if (key.Kind == ProfileValueKind::Box) {
            if (!value.is_boolean()) {
                Error(key.Key, WrongType(value) + Allowed(key));
                return;
            }
            ProfileBox(key, editor) = value.get<bool>();
            return;
        }
        if (const auto written = syntax.LongIntegers.find(key.Key);
            value.is_number_float() && written != syntax.LongIntegers.end()) {
            Error(key.Key, Refused(key, PrintableText(written->second, QuoteLimit)));
            return;
        }
        if (!value.is_number_integer()) {
            Error(key.Key, WrongType(value) + Allowed(key));
            return;
        }
        // Non-negative numbers come as unsigned: the largest must not turn negative.
        if (value.is_number_unsigned() &&
            value.get<std::uint64_t>() > std::numeric_limits<std::uint32_t>::max()) {
            Error(key.Key, Refused(key, std::to_string(value.get<std::uint64_t>())));
            return;
        }
        const std::int64_t number = value.get<std::int64_t>();
        if (key.Kind == ProfileValueKind::Number) {
            if (number < static_cast<std::int64_t>(key.Entry->Min) ||
                number > static_cast<std::int64_t>(key.Entry->Max)) {
                Error(key.Key, Refused(key, std::to_string(number)));
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
        Error(key.Key, Refused(key, std::to_string(number)));
    }

private:
    std::string fileName;
    ProfileResult& result;
};

}  // namespace

ProfileResult ProfileFile::Parse(std::string_view text, const std::string& fileName) {
    ProfileResult result;
    Checker check(fileName, result);
    const ProfileSyntax syntax = CheckProfileSyntax(text);
    if (!syntax.Errors.empty()) {
        for (const std::string& error : syntax.Errors) {
            check.Error({}, error);
        }
        return result;
    }
    const Json doc = Json::parse(text, nullptr, false);
    if (doc.is_discarded()) {
        check.Error({}, "não é um documento JSON");
        return result;
    }
    if (!doc.is_object()) {
        check.Error({}, "não é um perfil: o documento não é um grupo de chaves");
        return result;
    }
    const std::string supported = " (permitido: " + std::to_string(FormatVersion) + ")";
    if (!doc.contains(VersionKey)) {
        check.Error(VersionKey, Missing + supported);
        return result;
    }
    const Json& version = doc.at(VersionKey);
    if (!version.is_number_integer() || version.get<std::int64_t>() != FormatVersion) {
        const std::string shown = version.dump(-1, ' ', false, Json::error_handler_t::replace);
        check.Error(VersionKey, "a versão " + PrintableText(shown, QuoteLimit) +
                                    " não é suportada" + supported);
        return result;
    }

    std::set<std::string_view> known{VersionKey, UncheckedKey};
    std::set<std::string> containers;
    for (const ProfileKey& key : ProfileKeys()) {
        known.insert(key.Key);
        for (std::size_t dot = key.Key.find('.'); dot != std::string::npos;
             dot = key.Key.find('.', dot + 1)) {
            containers.emplace(key.Key.substr(0, dot));
        }
    }
    check.FindUnknown(doc, "", known, containers);
    const bool unchecked = doc.contains(UncheckedKey) && doc.at(UncheckedKey) == true;
    if (doc.contains(UncheckedKey) && !doc.at(UncheckedKey).is_boolean()) {
        check.Error(UncheckedKey, WrongType(doc.at(UncheckedKey)) + " (permitido: true ou false)");
    }

    EditorSnapshot editor;
    for (const ProfileKey& key : ProfileKeys()) {
        check.Read(doc, key, editor, syntax);
    }
    if (result.Errors.empty()) {
        for (const ProfileKey& key : ProfileKeys()) {
            const std::vector<const ProfileKey*> others = ProfileExclusiveWith(key);
            if (others.empty() || !ProfileBox(key, editor)) {
                continue;
            }
            for (const ProfileKey* other : others) {
                if (ProfileBox(*other, editor)) {
                    check.Error(key.Key, "não pode ser true junto com " + other->Key +
                                             " (permitido: true só quando as duas são false)");
                }
            }
        }
    }
    if (result.Errors.empty()) {
        result.Editor = editor;
    } else if (unchecked) {
        result.Errors.insert(result.Errors.begin(),
                             PrintableText(fileName) +
                                 ": perfil salvo sem verificação: não pode ser gravado até que "
                                 "cada chave abaixo seja corrigida");
    }
    return result;
}

ProfileResult ProfileFile::Load(const std::string& path) {
    std::string text;
    const profile_file::FileOutcome read = profile_file::ReadRegularFile(path, MaxFileSize, text);
    const std::string name = PrintableText(path);
    ProfileResult result;
    switch (read.Refusal) {
        case FileRefusal::None:
        case FileRefusal::ReadOnly:
            break;
        case FileRefusal::Folder:
            result.Errors.push_back(name + ": é uma pasta, não um arquivo de perfil");
            return result;
        case FileRefusal::NotRegular:
            result.Errors.push_back(name +
                                    ": não é um arquivo comum (é um dispositivo, um FIFO ou "
                                    "um socket): não foi lido");
            return result;
        case FileRefusal::System:
            result.Errors.push_back(name + ": não pode ser lido: " + read.Cause);
            return result;
    }
    return ParseContents(text, path);
}

ProfileResult ProfileFile::ParseContents(std::string_view text, const std::string& fileName) {
    if (text.size() > MaxFileSize) {
        ProfileResult result;
        result.Errors.push_back(PrintableText(fileName) +
                                ": grande demais para um perfil (permitido: até " +
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

std::vector<std::string> ProfileFile::CheckFailures(const EditorSnapshot& editor) {
    EditorSnapshot values = editor;
    std::vector<std::string> failures;
    for (const ProfileKey& key : ProfileKeys()) {
        if (const auto failure = Failure(key, values)) {
            failures.push_back(key.Key + ": " + *failure);
        }
    }
    return failures;
}

std::string ProfileFile::FormatUnchecked(const EditorSnapshot& editor) {
    EditorSnapshot values = editor;
    Json doc;
    doc[VersionKey] = FormatVersion;
    if (!CheckFailures(editor).empty()) {
        doc[UncheckedKey] = true;
    }
    for (const ProfileKey& key : ProfileKeys()) {
        Json& slot = doc[Pointer(key.Key)];
        switch (key.Kind) {
            case ProfileValueKind::Number: {
                // A text that is no number stays empty (null) and is named on reading.
                if (const auto number = DigitsValue(values.Text(key.Entry->Editor))) {
                    slot = *number;
                }
                break;
            }
            case ProfileValueKind::Choice:
                if (const auto choice = ChoiceAt(*key.Entry, values.List(key.Entry->Editor))) {
                    slot = static_cast<unsigned>(*choice) * key.Entry->Scale;
                }
                break;
            case ProfileValueKind::Box:
                slot = ProfileBox(key, values);
                break;
        }
    }
    return doc.dump(2) + "\n";
}

std::optional<std::string> ProfileFile::Format(const EditorSnapshot& editor) {
    if (FirstFailingCheck(editor)) {
        return std::nullopt;
    }
    return FormatUnchecked(editor);
}

std::optional<std::string> ProfileFile::SaveText(const std::string& path, std::string_view text) {
    const profile_file::FileOutcome saved = profile_file::ReplaceRegularFile(path, text);
    const std::string prefix = PrintableText(path) + ": não salvo: ";
    switch (saved.Refusal) {
        case FileRefusal::None:
            return std::nullopt;
        case FileRefusal::Folder:
            return prefix + "é uma pasta; indique um arquivo dentro dela";
        case FileRefusal::NotRegular:
            return prefix +
                   "não é um arquivo comum (é um dispositivo, um FIFO ou um link para um deles); "
                   "ficou como estava";
        case FileRefusal::ReadOnly:
            return prefix + "o arquivo é somente leitura; ficou como estava";
        case FileRefusal::System:
            break;
    }
    return prefix + saved.Cause;
}

std::optional<std::string> ProfileFile::Save(const std::string& path,
                                             const EditorSnapshot& editor) {
    const std::optional<std::string> text = Format(editor);
    if (!text) {
        return PrintableText(path) +
               ": não salvo: os valores do editor não passam nas verificações";
    }
    return SaveText(path, *text);
}

}  // namespace vyx
