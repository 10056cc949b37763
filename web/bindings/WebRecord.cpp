#include "WebRecord.h"

#include <cmath>

#include "JsBytes.h"
#include "RecordText.h"
#include "VisitCsv.h"
#include "VisitJson.h"
#include "VisitReport.h"

namespace vyx::web {

using emscripten::val;

val VisitRow(const Visit& visit) {
    const VisitHead& head = visit.Head();
    val row = val::object();
    row.set("uuid", head.Uuid);
    row.set("line", VisitLine(visit));
    // The visit's CSV row, made as it is kept: the export only joins them.
    row.set("csv", CsvRow(visit));
    row.set("startedAt", head.StartedAt);
    // The index sorts on this: visits recorded in other time zones fall in order.
    row.set("startedUtc", UtcText(head.StartedAt));
    row.set("endedAt", head.EndedAt);
    row.set("deviceId", head.DeviceId);
    row.set("versionBefore", head.DeviceVersionBefore);
    row.set("versionAfter", head.DeviceVersionAfter);
    row.set("technician", head.Technician);
    row.set("plate", head.Plate);
    row.set("vin", head.Vin);
    row.set("workOrder", head.WorkOrder);
    row.set("note", head.Note);
    row.set("result", head.Result);
    row.set("cut", head.Cut.empty() ? visit.WhereStopped() : head.Cut);
    row.set("door", head.Door);
    return row;
}

val VisitRowOf(const std::string& line) {
    VisitParse parsed = ParseVisitLine(line);
    if (!parsed.Found) {
        val out = val::object();
        out.set("reason", parsed.Reason);
        return out;
    }
    return VisitRow(*parsed.Found);
}

std::string VisitCsvHeader() {
    return CsvHeader();
}

std::string VisitReportOf(const std::string& line) {
    const VisitParse parsed = ParseVisitLine(line);
    return parsed.Found ? VisitReportHtml(*parsed.Found) : std::string();
}

ImportReader::ImportReader() : reader([this](Visit visit) { taken.push_back(std::move(visit)); }) {}

std::string ImportReader::RefuseSize(double size) {
    if (!(size >= 0) || !std::isfinite(size)) {
        return "tamanho do arquivo desconhecido";
    }
    return VisitImport::RefuseSize(static_cast<std::uint64_t>(size)).value_or("");
}

val ImportReader::Taken() {
    val rows = val::array();
    for (const Visit& visit : taken) {
        rows.call<void>("push", VisitRow(visit));
    }
    taken.clear();
    return rows;
}

val ImportReader::Feed(const val& bytes) {
    const std::vector<std::uint8_t> chunk = BytesFromJs(bytes);
    reader.Feed(std::string_view(reinterpret_cast<const char*>(chunk.data()), chunk.size()));
    return Taken();
}

val ImportReader::Finish() {
    reader.Finish();
    return Taken();
}

std::string ImportReader::Refusal() const {
    return reader.Refusal().value_or("");
}

val ImportReader::Skipped() const {
    val lines = val::array();
    for (const SkippedLine& line : reader.Skipped()) {
        lines.call<void>("push", line.Text());
    }
    return lines;
}

}  // namespace vyx::web
