#include "VisitReport.h"

#include <algorithm>
#include <utility>

#include "EditorFaces.h"
#include "ProfileKeys.h"
#include "ProfileSyntax.h"
#include "RecordText.h"
#include "Sha256.h"
#include "VisitJson.h"

namespace vyx {

namespace {

constexpr std::string_view Style =
    R"(body{font-family:sans-serif;font-size:10pt;color:#111;max-width:190mm;margin:1em auto}
h1{font-size:15pt;margin:0}h2{font-size:11pt;margin:.8em 0 .3em}p{margin:.2em 0}
table{border-collapse:collapse;width:100%}th,td{border:1px solid #999;padding:1px 4px;text-align:left;vertical-align:top;overflow-wrap:anywhere}
table.head th{width:19%;background:#eee}table.head td{width:31%}table.steps td:first-child{white-space:nowrap}tr.group th{background:#eee}
table.config td:first-child{width:52%}tr.changed td{background:#fff0b3;font-weight:bold}
.fail{color:#a00}.foot{margin-top:.8em;font-size:8pt;color:#444;word-break:break-all}
@page{size:A4;margin:10mm}
@media print{body{margin:0;max-width:none;font-size:8pt}*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}
)";

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

// An edit's label is split over two lines in the editor.
std::string OneLine(std::string_view text) {
    std::string line(text);
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

// The group and label of a list or value edit; an action's boxes share one row.
ConfigRow Captions(const RecordEntry& entry) {
    ConfigRow row;
    switch (entry.Kind) {
        case FieldKind::List:
            row.Group = Trimmed(GroupCaption("GB_Config"));
            if (const ListFace* face = ListFaceOf(entry.Control)) {
                row.Field = face->Label;
            }
            break;
        case FieldKind::Value:
            if (const EditFace* face = EditFaceOf(entry.Control)) {
                row.Group = Trimmed(GroupCaption(face->Group));
                row.Field = OneLine(face->Label);
            }
            break;
        case FieldKind::SingleAction:
        case FieldKind::TripleAction:
            row.Group = Trimmed(GroupCaption(entry.Control));
            row.Field = std::string(Trimmed(BuzzerGroupCaption)) + " / " +
                        std::string(Trimmed(EventGroupCaption));
            break;
    }
    return row;
}

// The ticked boxes of an action, the buzzer's then the event's, as the field's
// caption orders them: "Entrada / Entrada", "Entrada, Saída / —"; "sim / não"
// for the single boxes of ACP and ACN.
std::string TickedBoxes(const RecordEntry& entry, const std::vector<std::string>& ticks) {
    const bool triple = entry.Kind == FieldKind::TripleAction;
    const std::size_t buzzerBoxes = triple ? 3 : 1;
    std::string text;
    for (const bool buzzer : {true, false}) {
        std::string boxes;
        for (std::size_t box = buzzer ? 0 : buzzerBoxes;
             box < (buzzer ? buzzerBoxes : ticks.size()); ++box) {
            if (!triple) {
                boxes = ticks[box] == "true" ? "sim" : "não";
            } else if (ticks[box] == "true") {
                boxes += (boxes.empty() ? "" : ", ") + std::string(TripleActionBoxes[box].Caption);
            }
        }
        text += (buzzer ? "" : " / ") + (boxes.empty() ? std::string("—") : boxes);
    }
    return text;
}

// One row's value from a block's values by profile key (in ProfileKeys order).
std::string RowValue(const RecordEntry& entry, std::size_t firstKey, std::size_t keyCount,
                     const std::vector<std::pair<std::string, std::string>>& values) {
    if (firstKey + keyCount > values.size()) {
        return {};
    }
    if (entry.Kind == FieldKind::List || entry.Kind == FieldKind::Value) {
        return values[firstKey].second;
    }
    std::vector<std::string> ticks;
    for (std::size_t i = 0; i < keyCount; ++i) {
        ticks.push_back(values[firstKey + i].second);
    }
    return TickedBoxes(entry, ticks);
}

std::string_view VerdictWords(IdentityVerdict verdict) {
    switch (verdict) {
        case IdentityVerdict::Current:
            return "firmware atual";
        case IdentityVerdict::Older:
            return "firmware mais antigo";
        case IdentityVerdict::Discontinued:
            return "linha descontinuada";
        case IdentityVerdict::OperatingMode:
            return "em modo de operação";
        case IdentityVerdict::LoaderOnly:
            return "só o carregador";
        case IdentityVerdict::Blank:
            break;
    }
    return "sem firmware";
}

std::string CountsWords(const ExchangeCounts& counts) {
    std::string text = "pacote " + GroupedNumber(counts.Package) + " de " +
                       GroupedNumber(counts.Packages) + ", " + GroupedNumber(counts.Resends) +
                       (counts.Resends == 1 ? " reenvio" : " reenvios");
    const std::uint64_t faults =
        std::uint64_t{counts.Nacks} + counts.Code10 + counts.Code15 + counts.Code20;
    if (faults > 0) {
        text += ", NACK " + std::to_string(counts.Nacks) +
                ", código 10: " + std::to_string(counts.Code10) +
                ", código 15: " + std::to_string(counts.Code15) +
                ", código 20: " + std::to_string(counts.Code20);
    }
    return text;
}

struct Cell {
    std::string_view Caption;
    std::string_view Value;
};

void Row(std::string& html, Cell left, Cell right) {
    html += "<tr>";
    for (const Cell& cell : {left, right}) {
        html += "<th>";
        html += cell.Caption;
        html += "</th><td>" + HtmlText(cell.Value, RecordTextCap) + "</td>";
    }
    html += "</tr>\n";
}

}  // namespace

std::string HtmlText(std::string_view text, std::size_t limit) {
    std::string html;
    for (const char c : PrintableText(text, limit)) {
        switch (c) {
            case '&':
                html += "&amp;";
                break;
            case '<':
                html += "&lt;";
                break;
            case '>':
                html += "&gt;";
                break;
            case '"':
                html += "&quot;";
                break;
            case '\'':
                html += "&#39;";
                break;
            default:
                html += c;
        }
    }
    return html;
}

std::vector<ConfigRow> ReportConfigRows(const Visit& visit) {
    const VisitBlock* before = visit.BlockBefore();
    const VisitBlock* after = visit.BlockAfter();
    if (before == nullptr && after == nullptr) {
        return {};
    }
    using Values = std::vector<std::pair<std::string, std::string>>;
    const Values beforeValues = before != nullptr ? BlockValues(before->Image) : Values();
    const Values afterValues = after != nullptr ? BlockValues(after->Image) : Values();
    std::vector<ConfigRow> rows;
    const std::span<const ProfileKey> keys = ProfileKeys();
    for (std::size_t first = 0; first < keys.size();) {
        const RecordEntry& entry = *keys[first].Entry;
        std::size_t count = 1;
        while (first + count < keys.size() && keys[first + count].Entry == &entry) {
            ++count;
        }
        ConfigRow row = Captions(entry);
        row.Before = RowValue(entry, first, count, beforeValues);
        row.After = RowValue(entry, first, count, afterValues);
        row.Changed = after != nullptr && row.Before != row.After;
        rows.push_back(std::move(row));
        first += count;
    }
    return rows;
}

std::string StepSummary(const VisitStep& step) {
    std::string text;
    switch (step.Kind) {
        case StepKind::Identified:
            text = "Identificado: ID " + step.DeviceId + ", versão " + step.DeviceVersion;
            if (step.Verdict) {
                text += " (" + std::string(VerdictWords(*step.Verdict)) + ")";
            }
            break;
        case StepKind::UploadStarted:
            text = "Envio do firmware iniciado";
            break;
        case StepKind::UploadFinished:
            text = "Envio do firmware concluído";
            break;
        case StepKind::UploadFailed:
            text = "Envio do firmware falhou";
            break;
        case StepKind::UploadCut:
            text = UploadCutText(step);
            text[0] = 'E';
            break;
        case StepKind::ConfigRead:
            text = "Configuração lida";
            if (step.Block && step.Block->ErrorCount > 0) {
                text += " com " + std::to_string(step.Block->ErrorCount) +
                        (step.Block->ErrorCount == 1 ? " erro" : " erros") +
                        (step.Block->Repaired ? ", reparada" : "");
            }
            break;
        case StepKind::ConfigWritten:
            text = "Configuração gravada";
            break;
        case StepKind::ConfigReadBack:
            text = step.Difference.empty() ? "Configuração conferida: igual à gravada"
                                           : "Configuração conferida: difere em " + step.Difference;
            break;
        case StepKind::Closed:
            text = "Porta fechada";
            break;
        case StepKind::Lost:
            text = "Conexão perdida";
            break;
    }
    if (step.Counts && step.Kind != StepKind::UploadCut) {
        text += " (" + CountsWords(*step.Counts) + ")";
    }
    if (step.FailureCode) {
        text += "; código " + std::to_string(*step.FailureCode);
    }
    if (!step.Failure.empty()) {
        text += ": " + step.Failure;
    }
    return text;
}

std::string VisitReportHtml(const Visit& visit) {
    const VisitHead& h = visit.Head();
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"pt-BR\">\n<head>\n<meta charset=\"utf-8\">\n"
        // Nothing but the page's own style may run or load, whatever a text held.
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
        "style-src 'unsafe-inline'\">\n"
        "<title>Relatório de serviço " +
        HtmlText(h.DeviceId, RecordTextCap) + "</title>\n<style>\n" + std::string(Style) +
        "</style>\n</head>\n<body>\n<h1>Relatório de serviço</h1>\n<p>VyxTool " +
        HtmlText(h.ToolVersion, RecordTextCap) + " · " + HtmlText(h.Door, RecordTextCap);
    if (!h.Host.empty()) {
        html += " · " + HtmlText(h.Host, RecordTextCap);
    }
    html += "</p>\n<table class=\"head\">\n";
    const std::string firmware = h.DeviceVersionBefore + " → " + h.DeviceVersionAfter;
    Row(html, {"Técnico", h.Technician}, {"ID do dispositivo", h.DeviceId});
    Row(html, {"Veículo (placa)", h.Plate}, {"Firmware", firmware});
    Row(html, {"VIN ou frota", h.Vin}, {"Início", h.StartedAt});
    Row(html, {"Ordem de serviço", h.WorkOrder}, {"Fim", h.EndedAt});
    Row(html, {"Resultado", h.Result}, {"Interrompida", h.Cut});
    // The note keeps its line breaks; each line is shown inert like any text.
    html += "<tr><th>Nota</th><td colspan=\"3\">";
    std::string_view note = h.Note;
    for (std::size_t lines = 0; lines < RecordTextCap; ++lines) {
        const std::size_t end = note.find('\n');
        html += HtmlText(note.substr(0, end), RecordTextCap);
        if (end == std::string_view::npos) {
            break;
        }
        html += "<br>";
        note.remove_prefix(end + 1);
    }
    html += "</td></tr>\n</table>\n";

    // By the editor's groups, in its order; the rows keep record order within each.
    if (const std::vector<ConfigRow> rows = ReportConfigRows(visit); !rows.empty()) {
        html +=
            "<h2>Configuração</h2>\n<table class=\"config\">\n<tr><th>Campo</th><th>Antes</th>"
            "<th>Depois</th><th></th></tr>\n";
        for (const GroupFace& group : GroupFaces) {
            const std::string caption(Trimmed(group.Caption));
            bool headed = false;
            for (const ConfigRow& row : rows) {
                if (row.Group != caption) {
                    continue;
                }
                if (!std::exchange(headed, true)) {
                    html += "<tr class=\"group\"><th colspan=\"4\">" + HtmlText(caption) +
                            "</th></tr>\n";
                }
                html += row.Changed ? "<tr class=\"changed\">" : "<tr>";
                for (const std::string* cell : {&row.Field, &row.Before, &row.After}) {
                    html += "<td>" + HtmlText(*cell) + "</td>";
                }
                html += row.Changed ? "<td>alterado</td></tr>\n" : "<td></td></tr>\n";
            }
        }
        html += "</table>\n";
    }

    html += "<h2>Passos</h2>\n<table class=\"steps\">\n";
    for (const VisitStep& step : visit.Steps()) {
        const bool failed = StepFailed(step);
        html += failed ? "<tr class=\"fail\"><td>" : "<tr><td>";
        html += HtmlText(step.EndedAt, RecordTextCap) + "</td><td>" +
                HtmlText(StepSummary(step), 2 * RecordTextCap) + "</td><td>" +
                (failed ? "falha" : "ok") + "</td></tr>\n";
    }
    html += "</table>\n<p class=\"foot\">Visita " + HtmlText(h.Uuid, RecordTextCap) +
            "<br>SHA-256 da visita: " + Sha256Hex(VisitLine(visit)) + "</p>\n</body>\n</html>\n";
    return html;
}

}  // namespace vyx
