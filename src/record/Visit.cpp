#include "Visit.h"

#include <map>
#include <utility>

#include "RecordText.h"

namespace vyx {

namespace {

// Steps that answer one another: a later one of the same family tells how that
// part of the job stands now.
enum class Family { None, Upload, Read, Write };

Family FamilyOf(StepKind kind) {
    switch (kind) {
        case StepKind::UploadStarted:
        case StepKind::UploadFinished:
        case StepKind::UploadFailed:
        case StepKind::UploadCut:
            return Family::Upload;
        case StepKind::ConfigRead:
            return Family::Read;
        case StepKind::ConfigWritten:
        case StepKind::ConfigReadBack:
            return Family::Write;
        default:
            return Family::None;
    }
}

}  // namespace

Visit Visit::Open(std::string_view door, std::string toolVersion, std::string host) {
    VisitHead head;
    head.Uuid = NewVisitUuid();
    head.Door = door;
    head.ToolVersion = std::move(toolVersion);
    head.Host = KeptText(host);
    head.StartedAt = NowText();
    head.Result = ResultOpen;
    return Visit(std::move(head), {}, {});
}

Visit::Visit(VisitHead head, std::vector<VisitStep> steps, std::vector<std::string> logLines)
    : head(std::move(head)), steps(std::move(steps)), logLines(std::move(logLines)) {}

void Visit::SetServiceFields(const ServiceFields& fields) {
    head.Technician = KeptText(fields.Technician);
    head.Plate = KeptText(fields.Plate);
    head.Vin = KeptText(fields.Vin);
    head.WorkOrder = KeptText(fields.WorkOrder);
    head.Note = KeptText(fields.Note);
}

bool Visit::AddStep(VisitStep step) {
    // The last place is kept for the close, so a full visit still ends.
    const bool ends = step.Kind == StepKind::Closed || step.Kind == StepKind::Lost;
    if (steps.size() + (ends ? 0 : 1) >= MaxSteps) {
        return false;
    }
    step.Failure = KeptText(step.Failure);
    step.Difference = KeptText(step.Difference);
    const bool uploadOpen = !steps.empty() && steps.back().Kind == StepKind::UploadStarted;
    switch (step.Kind) {
        case StepKind::Identified:
            // The unit that came in, as the store keeps it; another ID later
            // (a board swapped during its restart) is in its own step.
            if (head.DeviceId.empty()) {
                head.DeviceId = step.DeviceId;
            }
            if (head.DeviceVersionBefore.empty()) {
                head.DeviceVersionBefore = step.DeviceVersion;
            }
            head.DeviceVersionAfter = step.DeviceVersion;
            break;
        case StepKind::UploadCut:
            if (head.Cut.empty()) {
                head.Cut = UploadCutText(step);
            }
            break;
        case StepKind::Lost:
            if (head.Cut.empty()) {
                head.Cut = uploadOpen ? UploadCutText(step) : std::string(LostText);
            }
            break;
        default:
            break;
    }
    head.EndedAt = ends ? step.EndedAt : std::string();
    steps.push_back(std::move(step));
    head.Result = ends ? EndResult() : std::string(ResultOpen);
    return true;
}

std::string Visit::EndResult() const {
    std::map<Family, const VisitStep*> latest;
    for (const VisitStep& step : steps) {
        if (const Family family = FamilyOf(step.Kind); family != Family::None) {
            latest[family] = &step;
        }
    }
    const auto upload = latest.find(Family::Upload);
    const bool uploadUnfinished =
        upload != latest.end() && (upload->second->Kind == StepKind::UploadStarted ||
                                   upload->second->Kind == StepKind::UploadCut);
    if (steps.back().Kind == StepKind::Lost || uploadUnfinished) {
        return std::string(ResultCut);
    }
    // A close that says why: the service of the unit failed (vyxctl's).
    if (StepFailed(steps.back())) {
        return std::string(ResultFailed);
    }
    for (const auto& [family, step] : latest) {
        if (StepFailed(*step)) {
            return std::string(ResultFailed);
        }
    }
    return std::string(ResultDone);
}

std::string Visit::WhereStopped() const {
    if (!head.Cut.empty() || !head.EndedAt.empty()) {
        return head.Cut;
    }
    if (!steps.empty() && steps.back().Kind == StepKind::UploadStarted) {
        return UploadCutText(steps.back());
    }
    return std::string(NoEndText);
}

bool Visit::ContinuesWith(std::string_view deviceId, std::string_view at) const {
    if (steps.empty() || steps.back().Kind != StepKind::Lost || head.DeviceId != deviceId) {
        return false;
    }
    const auto lost = TimeInstant(steps.back().EndedAt);
    const auto back = TimeInstant(at);
    return lost && back && *back >= *lost && *back - *lost <= ComebackTime;
}

bool Visit::AddLogLine(std::string_view line) {
    if (logLines.size() >= MaxLogLines) {
        return false;
    }
    if (logLines.size() + 1 == MaxLogLines) {
        logLines.emplace_back(LogFullLine);
        return false;
    }
    logLines.push_back(KeptText(line));
    return true;
}

const VisitBlock* Visit::BlockBefore() const {
    for (const VisitStep& step : steps) {
        if (step.Kind == StepKind::ConfigRead && step.Block) {
            return &*step.Block;
        }
    }
    return nullptr;
}

const VisitBlock* Visit::BlockAfter() const {
    const VisitBlock* after = nullptr;
    for (const VisitStep& step : steps) {
        if ((step.Kind == StepKind::ConfigWritten || step.Kind == StepKind::ConfigReadBack) &&
            step.Block) {
            after = &*step.Block;
        }
    }
    return after;
}

}  // namespace vyx
