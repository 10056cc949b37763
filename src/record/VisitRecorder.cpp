#include "VisitRecorder.h"

#include <utility>

#include "RecordText.h"

namespace vyx {

namespace {

ExchangeCounts CountsOf(const ExchangeCounters& counters) {
    ExchangeCounts counts;
    counts.Package = counters.At;
    counts.Packages = counters.Count;
    counts.Resends = counters.Resends;
    // The session counts with signed numbers; a negative one is no count.
    const auto count = [](std::int32_t value) {
        return value > 0 ? static_cast<std::uint32_t>(value) : 0U;
    };
    counts.Nacks = count(counters.Nacks);
    counts.Code10 = count(counters.ShortNotifications);
    counts.Code15 = count(counters.BadStarts);
    counts.Code20 = count(counters.StrayBytes);
    return counts;
}

VisitBlock BlockOf(const ConfigBlock& block, bool repaired = false) {
    return VisitBlock{block.Image, block.Decoded.ErrorCount, repaired};
}

std::optional<IdentityVerdict> VerdictOf(const IdentifiedDevice& device) {
    if (device.OperatingMode()) {
        return IdentityVerdict::OperatingMode;
    }
    switch (device.Need) {
        case FirmwareNeed::Current:
            return IdentityVerdict::Current;
        case FirmwareNeed::Older:
            return IdentityVerdict::Older;
        case FirmwareNeed::Blank:
            return IdentityVerdict::Blank;
        case FirmwareNeed::LoaderOnly:
            return IdentityVerdict::LoaderOnly;
        case FirmwareNeed::Discontinued:
            return IdentityVerdict::Discontinued;
        case FirmwareNeed::NotServed:
            break;
    }
    return std::nullopt;
}

// The step an exchange that did not reach its end leaves.
StepKind EndKind(Exchange exchange, bool cut) {
    switch (exchange) {
        case Exchange::FirmwareUpload:
            return cut ? StepKind::UploadCut : StepKind::UploadFailed;
        case Exchange::ConfigWrite:
            return StepKind::ConfigWritten;
        case Exchange::ConfigRead:
            break;
    }
    return StepKind::ConfigRead;
}

}  // namespace

VisitRecorder::VisitRecorder(std::string_view door, std::string toolVersion, std::string host,
                             VisitSink& sink, std::function<std::string()> now)
    : door(door),
      toolVersion(std::move(toolVersion)),
      host(std::move(host)),
      sink(sink),
      now(std::move(now)) {}

void VisitRecorder::SetServiceFields(const ServiceFields& typed) {
    fields = typed;
    if (open && !deciding) {
        visit->SetServiceFields(fields);
        sink.HeadChanged(*visit);
    }
}

void VisitRecorder::Opened() {
    if (open) {
        return;
    }
    open = true;
    const bool lost =
        visit && !visit->Steps().empty() && visit->Steps().back().Kind == StepKind::Lost;
    if (lost) {
        deciding = true;
        return;
    }
    Begin();
}

void VisitRecorder::Begin() {
    Visit begun = Visit::Open(door, toolVersion, host);
    begun.SetServiceFields(fields);
    visit = std::move(begun);
    sink.Began(*visit);
}

void VisitRecorder::Log(std::string_view line) {
    if (!open) {
        return;
    }
    if (deciding) {
        if (waitingLines.size() < Visit::MaxLogLines) {
            waitingLines.emplace_back(line);
        }
        return;
    }
    const std::size_t first = visit->LogLines().size();
    visit->AddLogLine(line);
    if (visit->LogLines().size() > first) {
        sink.LogAdded(*visit, first);
    }
}

VisitStep VisitRecorder::Step(StepKind kind) const {
    VisitStep step;
    step.Kind = kind;
    step.EndedAt = now();
    return step;
}

void VisitRecorder::Add(VisitStep step) {
    if (!open) {
        return;
    }
    if (deciding) {
        const bool decides = step.Kind == StepKind::Identified || step.Kind == StepKind::Closed ||
                             step.Kind == StepKind::Lost;
        if (!decides) {
            waitingSteps.push_back(std::move(step));
            return;
        }
        deciding = false;
        if (step.Kind != StepKind::Identified ||
            !visit->ContinuesWith(step.DeviceId, step.EndedAt)) {
            Begin();
        }
        std::vector<VisitStep> steps = std::move(waitingSteps);
        std::vector<std::string> lines = std::move(waitingLines);
        waitingSteps.clear();
        waitingLines.clear();
        for (const std::string& line : lines) {
            Log(line);
        }
        for (VisitStep& waiting : steps) {
            Add(std::move(waiting));
        }
    }
    if (visit->AddStep(std::move(step))) {
        sink.StepAdded(*visit, visit->Steps().size() - 1);
    }
    const StepKind last =
        visit->Steps().empty() ? StepKind::Identified : visit->Steps().back().Kind;
    if (last == StepKind::Closed || last == StepKind::Lost) {
        open = false;
    }
}

void VisitRecorder::Identified(const IdentifiedDevice& device) {
    VisitStep step = IdentifiedStep(device.Identity, IdentityVerdict::Current, now());
    step.Verdict = VerdictOf(device);
    Add(std::move(step));
}

void VisitRecorder::ExchangeStarted(Exchange exchange, const ExchangeCounters& counters) {
    // Only an upload keeps its start: a cut then says where it stopped.
    if (exchange != Exchange::FirmwareUpload) {
        return;
    }
    VisitStep step = Step(StepKind::UploadStarted);
    step.Counts = CountsOf(counters);
    Add(std::move(step));
}

void VisitRecorder::ExchangeFailed(const ExchangeFailure& failure) {
    VisitStep step = Step(EndKind(failure.Of, false));
    step.Counts = CountsOf(failure.Counters);
    step.FailureCode = failure.Code;
    step.Failure = failure.Caption.empty() ? failure.Text : failure.Caption + ": " + failure.Text;
    Add(std::move(step));
}

void VisitRecorder::ExchangeCutOff(const ExchangeCut& cut) {
    VisitStep step = Step(EndKind(cut.Of, true));
    step.Counts = CountsOf(cut.Counters);
    if (cut.Of != Exchange::FirmwareUpload) {
        step.Failure =
            cut.Of == Exchange::ConfigWrite ? "gravação interrompida" : "leitura interrompida";
    }
    Add(std::move(step));
}

void VisitRecorder::UploadFinished(const ExchangeCounters& counters) {
    VisitStep step = Step(StepKind::UploadFinished);
    step.Counts = CountsOf(counters);
    Add(std::move(step));
}

void VisitRecorder::ConfigurationRead(const ConfigReadResult& result) {
    VisitStep step = Step(StepKind::ConfigRead);
    step.Block = BlockOf(result.Read, result.Repaired);
    Add(std::move(step));
}

void VisitRecorder::ConfigurationWritten(const ConfigBlock& block,
                                         const ExchangeCounters& counters) {
    VisitStep step = Step(StepKind::ConfigWritten);
    step.Counts = CountsOf(counters);
    step.Block = BlockOf(block);
    Add(std::move(step));
}

void VisitRecorder::ReadBack(const ReadBackResult& result) {
    VisitStep step = Step(StepKind::ConfigReadBack);
    step.Block = BlockOf(result.Read);
    if (!result.Equal) {
        step.Difference =
            result.FirstDifference.empty() ? "lido de volta diferente" : result.FirstDifference;
    }
    Add(std::move(step));
}

void VisitRecorder::ConnectionClosed(CloseCause) {
    Add(Step(StepKind::Closed));
}

void VisitRecorder::ConnectionLost() {
    Add(Step(StepKind::Lost));
}

}  // namespace vyx
