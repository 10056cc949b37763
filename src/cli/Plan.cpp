#include "Plan.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <map>

#include "ProfileFile.h"

namespace vyx::cli {

namespace {

// One record of the CSV text, as RFC 4180 reads it; a quoted field may hold
// commas, quotes (doubled) and line breaks.
struct CsvRecord {
    std::size_t Line = 0;
    std::vector<std::string> Fields;
    std::string Error;
};

bool EndsField(char c) {
    return c == ',' || c == '\r' || c == '\n';
}

class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text(text) {}

    bool AtEnd() const { return at >= text.size(); }

    CsvRecord Next() {
        CsvRecord record;
        record.Line = line;
        while (true) {
            record.Fields.push_back(Field(record));
            if (!record.Error.empty()) {
                SkipLine();
                return record;
            }
            if (!AtEnd() && text[at] == ',') {
                ++at;
                continue;
            }
            EndLine();
            return record;
        }
    }

private:
    std::string Field(CsvRecord& record) {
        std::string field;
        if (AtEnd() || text[at] != '"') {
            for (; !AtEnd() && !EndsField(text[at]); ++at) {
                if (text[at] == '"') {
                    record.Error = "aspas no meio de um campo sem aspas";
                    return field;
                }
                field += text[at];
            }
            return field;
        }
        for (++at; !AtEnd(); ++at) {
            const char c = text[at];
            if (c == '"' && at + 1 < text.size() && text[at + 1] == '"') {
                field += '"';
                ++at;
            } else if (c == '"') {
                ++at;
                if (!AtEnd() && !EndsField(text[at])) {
                    record.Error = "texto depois das aspas que fecham um campo";
                }
                return field;
            } else {
                line += c == '\n' ? 1 : 0;
                field += c;
            }
        }
        record.Error = "aspas abertas que não se fecham até o fim do arquivo";
        return field;
    }

    void EndLine() {
        if (!AtEnd() && text[at] == '\r') {
            ++at;
        }
        if (!AtEnd() && text[at] == '\n') {
            ++at;
        }
        ++line;
    }

    void SkipLine() {
        while (!AtEnd() && text[at] != '\n' && text[at] != '\r') {
            ++at;
        }
        EndLine();
    }

    std::string_view text;
    std::size_t at = 0;
    std::size_t line = 1;
};

enum Column : std::size_t { Id, Profile, Plate, Vin, WorkOrder, Note, ColumnCount };
constexpr std::array<std::string_view, ColumnCount> ColumnNames = {"id",  "profile",    "plate",
                                                                   "vin", "work_order", "note"};
constexpr std::string_view AnyUnit = "*";

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

bool IsBlank(const CsvRecord& record) {
    return record.Error.empty() && record.Fields.size() == 1 && Trimmed(record.Fields[0]).empty();
}

// A row naming the id or profile column is a header: no unit's row holds either word there.
bool IsHeader(const CsvRecord& record) {
    if (!record.Error.empty()) {
        return false;
    }
    for (const std::string& field : record.Fields) {
        const std::string name = Trimmed(field);
        if (name == ColumnNames[Id] || name == ColumnNames[Profile]) {
            return true;
        }
    }
    return false;
}

// Which column each field of a row fills, from the header; a reason when the
// header names a column twice, one that does not exist, or leaves out id or profile.
std::string HeaderColumns(const CsvRecord& header, std::vector<std::size_t>& order) {
    order.clear();
    std::array<bool, ColumnCount> named{};
    for (const std::string& field : header.Fields) {
        const std::string name = Trimmed(field);
        std::size_t column = 0;
        while (column < ColumnCount && ColumnNames[column] != name) {
            ++column;
        }
        if (column == ColumnCount) {
            return "coluna desconhecida '" + name +
                   "'; as colunas são id, profile, plate, vin, work_order e note";
        }
        if (named[column]) {
            return "a coluna '" + name + "' aparece duas vezes";
        }
        named[column] = true;
        order.push_back(column);
    }
    if (!named[Id] || !named[Profile]) {
        return "a primeira linha precisa das colunas id e profile";
    }
    return {};
}

bool HasControlCharacter(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

std::string ProfilePathIn(const std::string& folder, const std::string& profile) {
    const std::filesystem::path path(profile);
    if (path.is_absolute() || folder.empty()) {
        return path.lexically_normal().string();
    }
    return (std::filesystem::path(folder) / path).lexically_normal().string();
}

class PlanChecker {
public:
    PlanChecker(const std::string& fileName, const std::string& folder)
        : fileName(fileName), folder(folder) {}

    void Header(const CsvRecord& header) {
        if (const std::string problem = HeaderColumns(header, order); !problem.empty()) {
            Fail(header.Line, problem);
            badHeader = true;
        }
    }

    void Row(const CsvRecord& record) {
        if (badHeader) {
            return;  // which field is which is not known
        }
        if (!record.Error.empty()) {
            return Fail(record.Line, record.Error);
        }
        if (record.Fields.size() > order.size()) {
            return Fail(record.Line, "campos demais: " + std::to_string(record.Fields.size()) +
                                         ", a linha tem no máximo " + std::to_string(order.size()));
        }
        std::array<std::string, ColumnCount> values;
        for (std::size_t i = 0; i < record.Fields.size(); ++i) {
            const std::string& field = record.Fields[i];
            if (field.size() > Plan::MaxFieldSize) {
                return Fail(record.Line, "o campo " + std::string(ColumnNames[order[i]]) +
                                             " passa de " + std::to_string(Plan::MaxFieldSize) +
                                             " bytes");
            }
            if (HasControlCharacter(field)) {
                return Fail(record.Line, "o campo " + std::string(ColumnNames[order[i]]) +
                                             " tem um caractere de controle");
            }
            values[order[i]] = Trimmed(field);
        }
        PlanRow row;
        row.Line = record.Line;
        row.Fields = {values[Plate], values[Vin], values[WorkOrder], values[Note]};
        const bool idOk = UnitOf(record.Line, values[Id], row);
        const bool profileOk = ProfileOf(record.Line, values[Profile], row);
        if (idOk && profileOk) {
            rows.push_back(std::move(row));
        }
    }

    /// Every reason the plan is refused; none when it is sound.
    std::vector<std::string> Finish() {
        if (errors.empty() && rows.empty()) {
            errors.push_back(fileName + ": o plano não tem nenhuma linha de unidade");
        }
        return std::move(errors);
    }

    std::vector<PlanRow> TakeRows() { return std::move(rows); }

private:
    void Fail(std::size_t line, const std::string& reason) {
        errors.push_back(fileName + ":" + std::to_string(line) + ": " + reason);
    }

    bool UnitOf(std::size_t line, const std::string& text, PlanRow& row) {
        if (text == AnyUnit) {
            if (anyLine != 0) {
                Fail(line, "uma segunda linha '*' (a primeira é a linha " +
                               std::to_string(anyLine) + ")");
                return false;
            }
            anyLine = line;
            return true;
        }
        row.Id = ParseDeviceId(text);
        if (!row.Id) {
            Fail(line, "o ID '" + text +
                           "' não é de três palavras de 8 dígitos hexadecimais, como a janela "
                           "mostra (00A1B2C3 00000039 56595800), nem '*'");
            return false;
        }
        const auto [first, fresh] = idLines.try_emplace(*row.Id, line);
        if (!fresh) {
            Fail(line,
                 "o ID " + IdText(*row.Id) + " já está na linha " + std::to_string(first->second));
            return false;
        }
        return true;
    }

    bool ProfileOf(std::size_t line, const std::string& text, PlanRow& row) {
        if (text.empty()) {
            Fail(line, "falta o arquivo do perfil");
            return false;
        }
        row.ProfilePath = ProfilePathIn(folder, text);
        // Each file is read and judged once, however many rows name it.
        auto found = profiles.find(row.ProfilePath);
        if (found == profiles.end()) {
            found = profiles.emplace(row.ProfilePath, ProfileFile::Load(row.ProfilePath)).first;
        }
        const ProfileResult& profile = found->second;
        if (!profile.Editor) {
            for (const std::string& error : profile.Errors) {
                Fail(line, error);
            }
            return false;
        }
        row.Profile = *profile.Editor;
        return true;
    }

    const std::string& fileName;
    const std::string& folder;
    std::vector<std::size_t> order = {Id, Profile, Plate, Vin, WorkOrder, Note};
    std::vector<PlanRow> rows;
    std::vector<std::string> errors;
    std::map<DeviceId, std::size_t> idLines;
    std::size_t anyLine = 0;
    bool badHeader = false;
    std::map<std::string, ProfileResult> profiles;
};

bool IsHexWord(std::string_view word) {
    return word.size() == 8 && word.find_first_not_of("0123456789abcdefABCDEF") == word.npos;
}

}  // namespace

std::optional<DeviceId> ParseDeviceId(std::string_view text) {
    DeviceId id{};
    std::size_t words = 0;
    std::size_t at = 0;
    while (true) {
        at = text.find_first_not_of(' ', at);
        if (at == text.npos) {
            break;
        }
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string_view word = text.substr(at, end - at);
        if (words == id.size() || !IsHexWord(word)) {
            return std::nullopt;
        }
        id[words++] = static_cast<std::uint32_t>(std::stoul(std::string(word), nullptr, 16));
        at = end;
    }
    if (words != id.size()) {
        return std::nullopt;
    }
    return id;
}

PlanResult Plan::Parse(std::string_view text, const std::string& fileName,
                       const std::string& folder) {
    // A spreadsheet's UTF-8 export may open with a byte order mark.
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    PlanChecker checker(fileName, folder);
    CsvReader reader(text);
    bool first = true;
    while (!reader.AtEnd()) {
        const CsvRecord record = reader.Next();
        if (IsBlank(record)) {
            continue;
        }
        if (first && IsHeader(record)) {
            checker.Header(record);
        } else {
            checker.Row(record);
        }
        first = false;
    }
    PlanResult result;
    result.Errors = checker.Finish();
    if (result.Errors.empty()) {
        result.Checked.emplace();
        result.Checked->rows = checker.TakeRows();
    }
    return result;
}

PlanResult Plan::Load(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::is_regular_file(status)) {
        return {std::nullopt, {path + ": não existe ou não é um arquivo comum"}};
    }
    const auto size = std::filesystem::file_size(path, error);
    std::ifstream in(path, std::ios::binary);
    if (error || !in) {
        return {std::nullopt, {path + ": não pode ser lido"}};
    }
    if (size > MaxFileSize) {
        return {std::nullopt,
                {path + ": o plano passa de " + std::to_string(MaxFileSize) + " bytes"}};
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Parse(text, path, std::filesystem::path(path).parent_path().string());
}

const PlanRow* Plan::For(const DeviceId& id) const {
    const PlanRow* any = nullptr;
    for (const PlanRow& row : rows) {
        if (row.Id == id) {
            return &row;
        }
        if (!row.Id) {
            any = &row;
        }
    }
    return any;
}

std::string OutsidePlanText(const DeviceId& id) {
    return "fora do plano: " + IdText(id);
}

}  // namespace vyx::cli
