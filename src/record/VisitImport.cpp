#include "VisitImport.h"

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "ProfileSyntax.h"
#include "VisitJson.h"

namespace vyx {

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t ReadChunk = 64 * 1024;

}  // namespace

std::string SkippedLine::Text() const {
    return "linha " + std::to_string(Line) + ": " + Reason;
}

std::optional<std::string> VisitImport::RefuseSize(std::uint64_t size) {
    if (size <= MaxFileBytes) {
        return std::nullopt;
    }
    return "arquivo grande demais (" + std::to_string(size / (1024 * 1024)) + " MB; o limite é " +
           std::to_string(MaxFileBytes / (1024 * 1024)) + " MB)";
}

VisitImport::VisitImport(Take take) : take(std::move(take)) {}

void VisitImport::Feed(std::string_view bytes) {
    while (!bytes.empty() && !refusal) {
        const std::size_t end = bytes.find('\n');
        const std::string_view part = bytes.substr(0, end);
        if (!lineTooLong) {
            if (line.size() + part.size() > MaxLineBytes) {
                lineTooLong = true;
                line.clear();
                line.shrink_to_fit();
            } else {
                line += part;
            }
        }
        if (end == std::string_view::npos) {
            return;
        }
        EndLine();
        bytes.remove_prefix(end + 1);
    }
}

void VisitImport::Finish() {
    if (!refusal && (!line.empty() || lineTooLong)) {
        EndLine();
    }
}

void VisitImport::EndLine() {
    ++lineNumber;
    const bool tooLong = std::exchange(lineTooLong, false);
    std::string_view text = line;
    if (lineNumber == 1 && text.substr(0, Utf8Mark.size()) == Utf8Mark) {
        text.remove_prefix(Utf8Mark.size());
    }
    if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
    }
    if (text.empty() && !tooLong) {
        line.clear();
        return;  // blank lines separate nothing
    }
    VisitParse parsed;
    if (tooLong) {
        parsed.Reason =
            "linha longa demais (mais de " + std::to_string(MaxLineBytes / (1024 * 1024)) + " MB)";
    } else {
        parsed = ParseVisitLine(text);
    }
    line.clear();
    if (parsed.Found) {
        sawVisitOrBadRow = true;
        ++taken;
        take(std::move(*parsed.Found));
        return;
    }
    // A file that does not start with a visit is some other file.
    const bool foreign = parsed.Reason == "não é JSON" || parsed.Reason == "não é uma visita";
    if (!sawVisitOrBadRow && foreign) {
        refusal = "não é uma exportação de visitas do VyxTool (linha " +
                  std::to_string(lineNumber) + ": " + parsed.Reason + ")";
        return;
    }
    sawVisitOrBadRow = true;
    skipped.push_back({lineNumber, parsed.Reason});
}

ImportOutcome ImportVisitFile(const std::string& path, const VisitImport::Take& take) {
    ImportOutcome outcome;
    const std::string shown = PrintableText(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        outcome.Refusal = shown + ": não é um arquivo que se possa ler";
        return outcome;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        outcome.Refusal = shown + ": não foi possível ler o tamanho";
        return outcome;
    }
    if (std::optional<std::string> refused = VisitImport::RefuseSize(size)) {
        outcome.Refusal = shown + ": " + *refused;
        return outcome;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        outcome.Refusal = shown + ": não foi possível abrir";
        return outcome;
    }
    VisitImport import(take);
    std::vector<char> chunk(ReadChunk);
    while (file && !import.Refusal()) {
        file.read(chunk.data(), chunk.size());
        import.Feed(std::string_view(chunk.data(), static_cast<std::size_t>(file.gcount())));
    }
    if (file.bad()) {
        outcome.Refusal = shown + ": erro de leitura";
        return outcome;
    }
    import.Finish();
    if (import.Refusal()) {
        outcome.Refusal = shown + ": " + *import.Refusal();
    }
    outcome.Skipped = import.Skipped();
    outcome.Taken = import.Taken();
    return outcome;
}

}  // namespace vyx
