#include "HistoryCommand.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "DeviceRun.h"
#include "ExitCode.h"
#include "RecordText.h"
#include "StoreExport.h"
#include "StorePath.h"
#include "Terminal.h"
#include "VisitCsv.h"
#include "VisitImport.h"
#include "VisitJson.h"
#include "VisitReport.h"

namespace vyx::cli {

namespace {

using record::RecordStore;
using record::StoredVisit;

std::unique_ptr<RecordStore> OpenRecord() {
    std::string path;
    if (auto why = record::DefaultStorePath(path)) {
        std::fprintf(stderr, "vyxctl: o histórico não pode ser aberto: %s\n", why->c_str());
        return nullptr;
    }
    record::OpenedStore opened = RecordStore::Open(path);
    if (!opened.Notice.empty()) {
        std::fprintf(stderr, "vyxctl: %s\n", opened.Notice.c_str());
    }
    if (!opened.Store) {
        std::fprintf(stderr, "vyxctl: o histórico não pode ser aberto: %s\n", opened.Error.c_str());
    }
    return std::move(opened.Store);
}

int RecordFault(const std::string& why) {
    std::fprintf(stderr, "vyxctl: o histórico não pode ser lido: %s\n", why.c_str());
    return ExitNoRecord;
}

// A stored visit made whole again for the exports and the report.
std::optional<Visit> Rebuilt(const StoredVisit& stored) {
    VisitParse parsed = record::VisitOf(stored);
    if (!parsed.Found) {
        std::fprintf(stderr, "vyxctl: a visita %s não pode ser lida: %s\n",
                     stored.Head.Uuid.c_str(), parsed.Reason.c_str());
    }
    return std::move(parsed.Found);
}

StoredVisit Stored(const Visit& visit) {
    StoredVisit stored{visit.Head(), {}, visit.LogLines()};
    std::int64_t seq = 0;
    for (const VisitStep& step : visit.Steps()) {
        stored.Steps.push_back(
            {++seq, step.EndedAt, std::string(StepKindText(step.Kind)), StepBody(step)});
    }
    return stored;
}

std::string Padded(const std::string& text, std::size_t width) {
    const std::size_t columns = Columns(text);
    return columns >= width ? text : text + std::string(width - columns, ' ');
}

// The table a person reads: one visit a row, newest first.
void PrintTable(const std::vector<VisitHead>& heads) {
    const std::vector<std::string> headings = {"INÍCIO",   "ID",        "VEÍCULO",
                                               "FIRMWARE", "RESULTADO", "VISITA"};
    std::vector<std::vector<std::string>> rows;
    for (const VisitHead& h : heads) {
        std::string firmware = h.DeviceVersionBefore.empty() ? "-" : h.DeviceVersionBefore;
        if (h.DeviceVersionAfter != h.DeviceVersionBefore && !h.DeviceVersionAfter.empty()) {
            firmware += " → " + h.DeviceVersionAfter;
        }
        std::string result = h.Result;
        if (!h.Cut.empty()) {
            result += ": " + h.Cut;
        }
        rows.push_back({h.StartedAt, h.DeviceId.empty() ? "-" : h.DeviceId,
                        h.Plate.empty() ? "-" : h.Plate, firmware, result, h.Uuid});
    }
    std::vector<std::size_t> widths;
    for (const std::string& heading : headings) {
        widths.push_back(Columns(heading));
    }
    for (auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            // Typed text is shown inert: no line breaks or terminal controls.
            row[c] = OneLine(KeptText(row[c], 40));
            widths[c] = std::max(widths[c], Columns(row[c]));
        }
    }
    auto print = [&](const std::vector<std::string>& cells) {
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            line += c + 1 == cells.size() ? cells[c] : Padded(cells[c], widths[c]) + "  ";
        }
        std::printf("%s\n", line.c_str());
    };
    print(headings);
    for (const auto& row : rows) {
        print(row);
    }
}

}  // namespace

bool IsDateArgument(const std::string& text) {
    auto digits = [&](std::size_t from, std::size_t count) {
        return std::all_of(text.begin() + from, text.begin() + from + count,
                           [](char c) { return c >= '0' && c <= '9'; });
    };
    if (text.size() == 10) {
        return digits(0, 4) && text[4] == '-' && digits(5, 2) && text[7] == '-' && digits(8, 2) &&
               TimeInstant(text + "T00:00:00+00:00").has_value();
    }
    return IsTimeText(text) && TimeInstant(text).has_value();
}

int HistoryCommand(const HistoryOptions& options) {
    for (const std::string* date : {&options.Filter.Since, &options.Filter.Until}) {
        if (!date->empty() && !IsDateArgument(*date)) {
            std::fprintf(stderr,
                         "vyxctl: data que não serve: '%s' (use 2026-12-09 ou "
                         "2026-12-09T10:29:40-03:00)\n",
                         OneLine(*date).c_str());
            return ExitBadUsage;
        }
    }
    const auto store = OpenRecord();
    if (!store) {
        return ExitNoRecord;
    }
    if (!options.Json && !options.Csv) {
        std::vector<VisitHead> heads;
        if (auto why = store->List(options.Filter, 0, 0, heads)) {
            return RecordFault(*why);
        }
        if (heads.empty()) {
            std::fprintf(stderr, "vyxctl: nenhuma visita no histórico com esses filtros\n");
        } else {
            PrintTable(heads);
        }
        return ExitDone;
    }
    const record::ExportOutcome exported = record::ExportVisits(
        *store, options.Filter,
        options.Csv ? record::ExportFormat::Csv : record::ExportFormat::JsonLines,
        [](std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); },
        [](const VisitHead& head, const std::string& reason) {
            std::fprintf(stderr, "vyxctl: a visita %s não pode ser lida: %s\n", head.Uuid.c_str(),
                         reason.c_str());
        });
    return exported.Error ? RecordFault(*exported.Error) : ExitDone;
}

int ReportCommand(const HistoryOptions& options) {
    if (options.Visit.empty() && !options.Last) {
        std::fprintf(stderr, "vyxctl: diga qual visita: o UUID ou --last\n");
        return ExitBadUsage;
    }
    const std::string& out = options.Output;
    if (out.size() >= 4 && std::equal(out.end() - 4, out.end(), ".pdf", [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == b;
        })) {
        std::fprintf(stderr,
                     "vyxctl: o vyxctl não gera PDF; salve o relatório em .html e imprima-o "
                     "como PDF no navegador, ou use a janela do VyxTool\n");
        return ExitBadUsage;
    }
    const auto store = OpenRecord();
    if (!store) {
        return ExitNoRecord;
    }
    std::optional<StoredVisit> stored;
    if (auto why = options.Last ? store->Last(stored) : store->Find(options.Visit, stored)) {
        return RecordFault(*why);
    }
    if (!stored) {
        std::fprintf(stderr,
                     options.Last ? "vyxctl: o histórico não tem visitas\n"
                                  : "vyxctl: nenhuma visita com o UUID '%s'\n",
                     OneLine(options.Visit).c_str());
        return ExitNoRecord;
    }
    const std::optional<Visit> visit = Rebuilt(*stored);
    if (!visit) {
        return ExitNoRecord;
    }
    const std::string html = VisitReportHtml(*visit);
    if (out.empty() || out == "-") {
        std::fwrite(html.data(), 1, html.size(), stdout);
        return ExitDone;
    }
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file.write(html.data(), static_cast<std::streamsize>(html.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "vyxctl: o relatório não pôde ser gravado em %s\n",
                     OneLine(out).c_str());
        return ExitBadUsage;
    }
    std::fprintf(stderr, "vyxctl: relatório gravado em %s\n", OneLine(out).c_str());
    return ExitDone;
}

int ImportCommand(const HistoryOptions& options) {
    std::ifstream file(options.File, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "vyxctl: o arquivo %s não pode ser aberto\n",
                     OneLine(options.File).c_str());
        return ExitBadUsage;
    }
    file.seekg(0, std::ios::end);
    const auto size = static_cast<std::uint64_t>(file.tellg());
    file.seekg(0);
    if (auto why = VisitImport::RefuseSize(size)) {
        std::fprintf(stderr, "vyxctl: %s\n", why->c_str());
        return ExitBadUsage;
    }
    const auto store = OpenRecord();
    if (!store) {
        return ExitNoRecord;
    }
    std::size_t inserted = 0;
    std::size_t present = 0;
    std::optional<std::string> fault;
    VisitImport import([&](Visit visit) {
        if (fault) {
            return;
        }
        record::Insertion outcome = record::Insertion::Inserted;
        fault = store->InsertWholeVisit(Stored(visit), outcome);
        if (!fault) {
            ++(outcome == record::Insertion::Inserted ? inserted : present);
        }
    });
    std::string chunk(64 * 1024, '\0');
    while (!fault && file) {
        file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        import.Feed(std::string_view(chunk.data(), static_cast<std::size_t>(file.gcount())));
    }
    import.Finish();
    if (import.Refusal()) {
        std::fprintf(stderr, "vyxctl: %s não é uma exportação do histórico: %s\n",
                     OneLine(options.File).c_str(), import.Refusal()->c_str());
        return ExitBadUsage;
    }
    for (const SkippedLine& skipped : import.Skipped()) {
        std::fprintf(stderr, "vyxctl: %s\n", OneLine(skipped.Text()).c_str());
    }
    std::printf("%zu visitas importadas, %zu já estavam no histórico, %zu linhas puladas\n",
                inserted, present, import.Skipped().size());
    if (fault) {
        std::fprintf(stderr, "vyxctl: a importação parou: %s\n", fault->c_str());
        return ExitNoRecord;
    }
    return ExitDone;
}

int PurgeCommand(const HistoryOptions& options) {
    if (!IsDateArgument(options.Before)) {
        std::fprintf(stderr,
                     "vyxctl: data que não serve: '%s' (use 2026-12-09 ou "
                     "2026-12-09T10:29:40-03:00)\n",
                     OneLine(options.Before).c_str());
        return ExitBadUsage;
    }
    if (!options.Yes && !IsTerminal(stdin)) {
        std::fprintf(stderr,
                     "vyxctl: apagar visitas pede confirmação num terminal; em scripts use "
                     "--yes\n");
        return ExitBadUsage;
    }
    const auto store = OpenRecord();
    if (!store) {
        return ExitNoRecord;
    }
    record::VisitFilter filter;
    filter.Until = options.Before;
    std::size_t count = 0;
    if (auto why = store->Scan(filter, [&](const VisitHead&) { ++count; })) {
        return RecordFault(*why);
    }
    if (count == 0) {
        std::printf("nenhuma visita anterior a %s\n", options.Before.c_str());
        return ExitDone;
    }
    if (!options.Yes) {
        std::fprintf(stderr, "apagar %zu visitas anteriores a %s? [s/N] ", count,
                     options.Before.c_str());
        std::fflush(stderr);
        std::string answer;
        std::getline(std::cin, answer);
        if (answer != "s" && answer != "S") {
            std::printf("nada foi apagado\n");
            return ExitDone;
        }
    }
    std::int64_t deleted = 0;
    if (auto why = store->PurgeBefore(options.Before, deleted)) {
        return RecordFault(*why);
    }
    std::printf("%s visitas apagadas\n", std::to_string(deleted).c_str());
    return ExitDone;
}

}  // namespace vyx::cli
