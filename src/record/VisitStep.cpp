#include "VisitStep.h"

#include <array>
#include <cstdio>

#include "ConfigDecoder.h"
#include "ProfileKeys.h"
#include "RecordJson.h"
#include "RecordText.h"

namespace vyx {

namespace {

using record_json::Json;
using record_json::ObjectReader;

constexpr std::array<std::string_view, 10> KindTexts = {
    "identified",  "upload_started", "upload_finished",  "upload_failed", "upload_cut",
    "config_read", "config_written", "config_read_back", "closed",        "lost"};

constexpr std::array<std::string_view, 6> VerdictTexts = {
    "current", "older", "discontinued", "operating_mode", "loader_only", "blank"};

template <typename Enum, std::size_t N>
std::optional<Enum> FromText(const std::array<std::string_view, N>& texts, std::string_view text) {
    for (std::size_t i = 0; i < N; ++i) {
        if (texts[i] == text) {
            return static_cast<Enum>(i);
        }
    }
    return std::nullopt;
}

// The counters under their keys, in ExchangeCounts order.
struct CountKey {
    std::string_view Key;
    std::uint32_t ExchangeCounts::*Member;
};
constexpr std::array<CountKey, 7> CountKeys = {{
    {"package", &ExchangeCounts::Package},
    {"packages", &ExchangeCounts::Packages},
    {"resends", &ExchangeCounts::Resends},
    {"nacks", &ExchangeCounts::Nacks},
    {"code10", &ExchangeCounts::Code10},
    {"code15", &ExchangeCounts::Code15},
    {"code20", &ExchangeCounts::Code20},
}};

// The block's bytes in hexadecimal, without the FF fill at its end (most of a
// good block), which reading puts back.
std::string BlockHex(const ConfigImage& image) {
    std::size_t end = image.size();
    while (end > 0 && image[end - 1] == 0xFF) {
        --end;
    }
    std::string text;
    char hex[3];
    for (std::size_t i = 0; i < end; ++i) {
        std::snprintf(hex, sizeof hex, "%02x", image[i]);
        text += hex;
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::optional<ConfigImage> ImageFromHex(std::string_view hex) {
    if (hex.size() % 2 != 0 || hex.size() > 2 * ConfigImageSize) {
        return std::nullopt;
    }
    ConfigImage image;
    image.fill(0xFF);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        image[i / 2] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return image;
}

Json ValuesObject(const ConfigImage& image) {
    Json values = Json::object();
    for (auto& [key, value] : BlockValues(image)) {
        values[key] = value;
    }
    return values;
}

Json BlockObject(const VisitBlock& block, bool withValues) {
    Json object;
    object["bytes"] = BlockHex(block.Image);
    object["errors"] = block.ErrorCount;
    if (block.Repaired) {
        object["repaired"] = true;
    }
    if (withValues) {
        object["values"] = ValuesObject(block.Image);
    }
    return object;
}

std::optional<VisitBlock> BlockFromObject(const Json& object, ObjectReader& outer) {
    ObjectReader reader(object, "bloco: ");
    std::string hex;
    reader.Text("bytes", hex, true, 2 * ConfigImageSize);
    std::optional<std::int64_t> errors;
    reader.Number("errors", errors, 0, 1000000);
    VisitBlock block;
    reader.Flag("repaired", block.Repaired);
    const Json* values = reader.Member("values", Json::value_t::object);
    reader.RefuseUnknown();
    std::optional<ConfigImage> image = ImageFromHex(hex);
    if (reader.Ok() && !image) {
        reader.Fail("bytes não são hexadecimais");
    }
    if (reader.Ok() && !errors) {
        reader.Fail("campo ausente: errors");
    }
    // The values say what the bytes say, or the line was edited by hand.
    if (reader.Ok() && values != nullptr && *values != ValuesObject(*image)) {
        reader.Fail("valores não correspondem aos bytes");
    }
    if (!reader.Ok()) {
        outer.Fail(reader.Reason);
        return std::nullopt;
    }
    block.Image = *image;
    block.ErrorCount = static_cast<int>(*errors);
    return block;
}

}  // namespace

std::string_view StepKindText(StepKind kind) {
    return KindTexts[static_cast<std::size_t>(kind)];
}

std::optional<StepKind> StepKindFromText(std::string_view text) {
    return FromText<StepKind>(KindTexts, text);
}

std::string_view VerdictText(IdentityVerdict verdict) {
    return VerdictTexts[static_cast<std::size_t>(verdict)];
}

std::optional<IdentityVerdict> VerdictFromText(std::string_view text) {
    return FromText<IdentityVerdict>(VerdictTexts, text);
}

std::vector<std::pair<std::string, std::string>> BlockValues(const ConfigImage& image) {
    const DecodedConfig decoded = DecodeConfigImage(image, false);
    std::vector<std::pair<std::string, std::string>> values;
    if (!decoded.FieldsDecoded) {
        return values;
    }
    EditorSnapshot editor;
    MergeDecoded(editor, decoded);
    values.reserve(ProfileKeys().size());
    for (const ProfileKey& key : ProfileKeys()) {
        values.emplace_back(key.Key, ProfileValueText(key, editor));
    }
    return values;
}

VisitStep IdentifiedStep(const DeviceIdentity& identity, IdentityVerdict verdict,
                         std::string endedAt) {
    VisitStep step;
    step.Kind = StepKind::Identified;
    step.EndedAt = std::move(endedAt);
    step.DeviceId = IdText(identity.Id);
    step.DeviceVersion = VersionText(identity.Version);
    step.Verdict = verdict;
    return step;
}

bool StepFailed(const VisitStep& step) {
    return step.Kind == StepKind::UploadFailed || step.FailureCode || !step.Failure.empty() ||
           !step.Difference.empty() ||
           (step.Block && step.Block->ErrorCount > 0 && !step.Block->Repaired);
}

std::string UploadCutText(const VisitStep& step) {
    std::string text = "envio do firmware interrompido";
    if (step.Counts && step.Counts->Packages > 0) {
        text += " no pacote " + GroupedNumber(step.Counts->Package) + " de " +
                GroupedNumber(step.Counts->Packages);
    }
    return text;
}

std::string StepBody(const VisitStep& step) {
    return record_json::Dump(record_json::StepObject(step, false));
}

StepParse ParseStepBody(std::string_view body, const std::string& where) {
    const Json object = Json::parse(body, nullptr, false);
    if (object.is_discarded()) {
        return {std::nullopt, where + "não é JSON"};
    }
    return record_json::StepFromObject(object, where);
}

namespace record_json {

Json StepObject(const VisitStep& step, bool withValues) {
    Json object;
    object["kind"] = StepKindText(step.Kind);
    object["ended_at"] = step.EndedAt;
    if (!step.DeviceId.empty()) {
        object["device_id"] = step.DeviceId;
    }
    if (!step.DeviceVersion.empty()) {
        object["device_version"] = step.DeviceVersion;
    }
    if (step.Verdict) {
        object["verdict"] = VerdictText(*step.Verdict);
    }
    if (step.Counts) {
        Json counts;
        for (const CountKey& count : CountKeys) {
            counts[std::string(count.Key)] = (*step.Counts).*count.Member;
        }
        object["counts"] = counts;
    }
    if (step.FailureCode) {
        object["failure_code"] = *step.FailureCode;
    }
    if (!step.Failure.empty()) {
        object["failure"] = step.Failure;
    }
    if (step.Block) {
        object["block"] = BlockObject(*step.Block, withValues);
    }
    if (!step.Difference.empty()) {
        object["difference"] = step.Difference;
    }
    return object;
}

StepParse StepFromObject(const Json& object, const std::string& where) {
    ObjectReader reader(object, where);
    VisitStep step;
    std::string kind;
    reader.Text("kind", kind, true, 40);
    if (reader.Ok()) {
        if (const std::optional<StepKind> known = StepKindFromText(kind)) {
            step.Kind = *known;
        } else {
            reader.Fail("tipo de passo desconhecido: " + kind);
        }
    }
    reader.Text("ended_at", step.EndedAt, true, 40);
    if (reader.Ok() && !IsTimeText(step.EndedAt)) {
        reader.Fail("hora inválida: ended_at");
    }
    reader.Text("device_id", step.DeviceId, false, 40);
    reader.Text("device_version", step.DeviceVersion, false, 40);
    std::string verdict;
    reader.Text("verdict", verdict, false, 40);
    if (reader.Ok() && !verdict.empty()) {
        step.Verdict = VerdictFromText(verdict);
        if (!step.Verdict) {
            reader.Fail("veredito desconhecido: " + verdict);
        }
    }
    if (const Json* counts = reader.Member("counts", Json::value_t::object)) {
        ObjectReader countReader(*counts, "counts: ");
        ExchangeCounts values;
        for (const CountKey& count : CountKeys) {
            std::optional<std::int64_t> value;
            countReader.Number(count.Key, value, 0, UINT32_MAX);
            if (countReader.Ok() && !value) {
                countReader.Fail("campo ausente: " + std::string(count.Key));
            }
            values.*count.Member = static_cast<std::uint32_t>(value.value_or(0));
        }
        countReader.RefuseUnknown();
        if (countReader.Ok()) {
            step.Counts = values;
        } else {
            reader.Fail(countReader.Reason);
        }
    }
    reader.Number("failure_code", step.FailureCode, INT32_MIN, INT32_MAX);
    reader.Text("failure", step.Failure, false, RecordTextCap);
    if (const Json* block = reader.Member("block", Json::value_t::object)) {
        step.Block = BlockFromObject(*block, reader);
    }
    reader.Text("difference", step.Difference, false, RecordTextCap);
    reader.RefuseUnknown();
    if (!reader.Ok()) {
        return {std::nullopt, reader.Reason};
    }
    return {step, {}};
}

}  // namespace record_json

}  // namespace vyx
