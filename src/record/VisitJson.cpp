#include "VisitJson.h"

#include <array>

#include "RecordJson.h"
#include "RecordText.h"

namespace vyx {

namespace {

using record_json::Json;
using record_json::ObjectReader;

// The head's texts under their keys, in the line's order.
struct HeadKey {
    std::string_view Key;
    std::string VisitHead::*Member;
};
constexpr std::array<HeadKey, 16> HeadKeys = {{
    {"uuid", &VisitHead::Uuid},
    {"door", &VisitHead::Door},
    {"tool_version", &VisitHead::ToolVersion},
    {"host", &VisitHead::Host},
    {"started_at", &VisitHead::StartedAt},
    {"ended_at", &VisitHead::EndedAt},
    {"device_id", &VisitHead::DeviceId},
    {"device_version_before", &VisitHead::DeviceVersionBefore},
    {"device_version_after", &VisitHead::DeviceVersionAfter},
    {"technician", &VisitHead::Technician},
    {"plate", &VisitHead::Plate},
    {"vin", &VisitHead::Vin},
    {"work_order", &VisitHead::WorkOrder},
    {"note", &VisitHead::Note},
    {"result", &VisitHead::Result},
    {"cut", &VisitHead::Cut},
}};

// Tells a line cut short from one that is not JSON at all.
class ErrorKind : public nlohmann::json_sax<Json> {
public:
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    // The reader stopped at the line's end: the line is a visit cut short.
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception&) override {
        torn = position >= size;
        return false;
    }
    explicit ErrorKind(std::size_t size) : size(size) {}
    std::size_t size;
    bool torn = false;
};

bool OneOf(std::string_view text, std::initializer_list<std::string_view> allowed) {
    for (const std::string_view one : allowed) {
        if (one == text) {
            return true;
        }
    }
    return false;
}

void CheckHead(const VisitHead& head, ObjectReader& reader) {
    if (!reader.Ok()) {
        return;
    }
    if (!IsVisitUuid(head.Uuid)) {
        reader.Fail("identificador inválido: uuid");
    } else if (!OneOf(head.Door, {DoorWindow, DoorCli, DoorPage})) {
        reader.Fail("porta de entrada desconhecida: door");
    } else if (!OneOf(head.Result, {ResultOpen, ResultDone, ResultFailed, ResultCut})) {
        reader.Fail("resultado desconhecido: result");
    } else if (!IsTimeText(head.StartedAt)) {
        reader.Fail("hora inválida: started_at");
    } else if (!head.EndedAt.empty() && !IsTimeText(head.EndedAt)) {
        reader.Fail("hora inválida: ended_at");
    }
}

}  // namespace

std::string VisitLine(const Visit& visit) {
    Json line;
    line["record"] = VisitRecordName;
    line["format"] = VisitFormat;
    for (const HeadKey& key : HeadKeys) {
        line[std::string(key.Key)] = visit.Head().*key.Member;
    }
    Json steps = Json::array();
    for (const VisitStep& step : visit.Steps()) {
        steps.push_back(record_json::StepObject(step, true));
    }
    line["steps"] = std::move(steps);
    line["log"] = visit.LogLines();
    return record_json::Dump(line);
}

VisitParse ParseVisitLine(std::string_view line) {
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
    }
    const Json object = Json::parse(line, nullptr, false);
    if (object.is_discarded()) {
        ErrorKind error(line.size());
        Json::sax_parse(line, &error);
        return {std::nullopt, error.torn ? "linha incompleta (cortada)" : "não é JSON"};
    }
    ObjectReader reader(object, "");
    std::string record;
    reader.Text("record", record, false, 40);
    if (!reader.Ok() || record != VisitRecordName) {
        return {std::nullopt, "não é uma visita"};
    }
    std::optional<std::int64_t> format;
    reader.Number("format", format, 0, INT32_MAX);
    if (reader.Ok() && format != VisitFormat) {
        reader.Fail(format && *format > VisitFormat
                        ? "formato mais novo (" + std::to_string(*format) + ")"
                        : "formato desconhecido");
    }
    VisitHead head;
    for (const HeadKey& key : HeadKeys) {
        reader.Text(key.Key, head.*key.Member, true, RecordTextCap);
    }
    CheckHead(head, reader);
    std::vector<VisitStep> steps;
    if (const Json* list = reader.Member("steps", Json::value_t::array)) {
        if (list->size() > Visit::MaxSteps) {
            reader.Fail("passos demais");
        }
        for (std::size_t i = 0; reader.Ok() && i < list->size(); ++i) {
            StepParse step =
                record_json::StepFromObject((*list)[i], "passo " + std::to_string(i + 1) + ": ");
            if (!step.Step) {
                reader.Fail(step.Reason);
            } else {
                steps.push_back(std::move(*step.Step));
            }
        }
    } else if (reader.Ok()) {
        reader.Fail("campo ausente: steps");
    }
    std::vector<std::string> log;
    if (const Json* list = reader.Member("log", Json::value_t::array)) {
        if (list->size() > Visit::MaxLogLines) {
            reader.Fail("linhas de registro demais");
        }
        for (std::size_t i = 0; reader.Ok() && i < list->size(); ++i) {
            const Json& text = (*list)[i];
            if (!text.is_string() ||
                CharacterCount(text.get_ref<const std::string&>()) > RecordTextCap) {
                reader.Fail("linha de registro " + std::to_string(i + 1) + " inválida");
            } else {
                log.push_back(text.get<std::string>());
            }
        }
    } else if (reader.Ok()) {
        reader.Fail("campo ausente: log");
    }
    reader.RefuseUnknown();
    if (!reader.Ok()) {
        return {std::nullopt, reader.Reason};
    }
    return {Visit(std::move(head), std::move(steps), std::move(log)), {}};
}

VisitParse RebuildVisit(VisitHead head, const std::vector<StoredStep>& stored,
                        std::vector<std::string> logLines) {
    std::vector<VisitStep> steps;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const std::string where = "passo " + std::to_string(i + 1) + ": ";
        StepParse step = ParseStepBody(stored[i].Body, where);
        if (!step.Step) {
            return {std::nullopt, step.Reason};
        }
        if (StepKindText(step.Step->Kind) != stored[i].Kind) {
            return {std::nullopt, where + "tipo diferente do guardado"};
        }
        steps.push_back(std::move(*step.Step));
    }
    return {Visit(std::move(head), std::move(steps), std::move(logLines)), {}};
}

}  // namespace vyx
