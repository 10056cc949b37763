#include "VisitRecorder.h"

#include <utility>

#include "RecordText.h"

namespace vyx {

namespace {

ExchangeCounts CountsOf(const ExchangeCounters& counters) {
    const auto count = [](std::int32_t value) {
        return value < 0 ? 0u : static_cast<std::uint32_t>(value);
    };
    return ExchangeCounts{counters.At,
                          counters.Count,
                          counters.Resends,
                          count(counters.Nacks),
                          count(counters.ShortNotifications),
                          count(counters.BadStarts),
                          count(counters.StrayBytes)};
}

VisitBlock BlockOf(const ConfigBlock& block, bool repaired = false) {
    return VisitBlock{block.Image, block.Decoded.ErrorCount, repaired};
}

}  // namespace

IdentityVerdict VerdictOf(const IdentifiedDevice& device) {
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
        case FirmwareNeed::NotServed:
            break;
    }
    return IdentityVerdict::Discontinued;
}

VisitRecorder::VisitRecorder(std::string_view door, std::string toolVersion, std::string host,
                             Sink sink, Clock clock)
    : door(door),
      toolVersion(std::move(toolVersion)),
      host(std::move(host)),
      sink(std::move(sink)),
      clock(clock ? std::move(clock) : Clock(&NowText)) {}

void VisitRecorder::SetServiceFields(const ServiceFields& typed) {
    fields = typed;
    if (visit && open) {
        visit->SetServiceFields(fields);
        if (sink.Changed) {
            sink.Changed(*visit);
        }
    }
}

void VisitRecorder::Begin() {
    visit = Visit::Open(door, toolVersion, host);
    visit->SetServiceFields(fields);
    open = true;
    pending = false;
    if (sink.Begun) {
        sink.Begun(*visit);
    }
}

void VisitRecorder::PortOpened() {
    if (spans && open) {
        return;
    }
    const bool mayContinue =
        visit && !visit->Steps().empty() && visit->Steps().back().Kind == StepKind::Lost;
    if (mayContinue) {
        pending = true;
        return;
    }
    Begin();
}

void VisitRecorder::LogLine(std::string_view line) {
    if (pending) {
        // This connection's, whichever visit the device's identity makes it.
        if (waiting.size() < Visit::MaxLogLines) {
            waiting.emplace_back(line);
        }
        return;
    }
    if (visit && open && visit->AddLogLine(line) && sink.Logged) {
        sink.Logged(*visit, visit->LogLines().back());
    }
}

void VisitRecorder::TakeWaitingLines() {
    std::vector<std::string> lines;
    lines.swap(waiting);
    for (const std::string& line : lines) {
        LogLine(line);
    }
}

VisitStep VisitRecorder::Step(StepKind kind) const {
    VisitStep step;
    step.Kind = kind;
    step.EndedAt = clock();
    return step;
}

void VisitRecorder::Add(VisitStep step) {
    if (pending) {
        Begin();
        TakeWaitingLines();
    }
    if (!visit || !open) {
        return;
    }
    const bool ends = step.Kind == StepKind::Closed || step.Kind == StepKind::Lost;
    if (visit->AddStep(std::move(step)) && sink.Stepped) {
        sink.Stepped(*visit, visit->Steps().back());
    }
    if (ends) {
        open = false;
    }
}

void VisitRecorder::Identified(const IdentifiedDevice& device) {
    VisitStep step = IdentifiedStep(device.Identity, VerdictOf(device), clock());
    if (spans && open && visit->Head().DeviceId == step.DeviceId &&
        visit->Head().DeviceVersionAfter == step.DeviceVersion) {
        return;
    }
    if (pending && visit->ContinuesWith(step.DeviceId, step.EndedAt)) {
        pending = false;
        open = true;
        TakeWaitingLines();
    }
    Add(std::move(step));
}

void VisitRecorder::ExchangeStarted(Exchange exchange, const ExchangeCounters&) {
    // Reads and writes are kept when they end; an upload's start is kept so a
    // crash during it still says where it was.
    if (exchange == Exchange::FirmwareUpload) {
        Add(Step(StepKind::UploadStarted));
    }
}

void VisitRecorder::ExchangeFailed(const ExchangeFailure& failure) {
    VisitStep step = Step(failure.Of == Exchange::FirmwareUpload ? StepKind::UploadFailed
                          : failure.Of == Exchange::ConfigWrite  ? StepKind::ConfigWritten
                                                                 : StepKind::ConfigRead);
    step.Counts = CountsOf(failure.Counters);
    step.FailureCode = failure.Code;
    step.Failure = failure.Caption.empty() ? failure.Text : failure.Caption + ": " + failure.Text;
    Add(std::move(step));
}

void VisitRecorder::ExchangeCutOff(const ExchangeCut& cut) {
    // An upload's cut is the visit's Cut; a read or write cut short is that
    // exchange's failure.
    VisitStep step = Step(cut.Of == Exchange::FirmwareUpload ? StepKind::UploadCut
                          : cut.Of == Exchange::ConfigWrite  ? StepKind::ConfigWritten
                                                             : StepKind::ConfigRead);
    step.Counts = CountsOf(cut.Counters);
    if (cut.Of != Exchange::FirmwareUpload) {
        step.Failure = "interrompida com a conexão";
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
    step.Block = BlockOf(block);
    step.Counts = CountsOf(counters);
    Add(std::move(step));
}

void VisitRecorder::ReadBack(const ReadBackResult& result) {
    VisitStep step = Step(StepKind::ConfigReadBack);
    step.Block = BlockOf(result.Read);
    step.Difference = result.Equal ? std::string() : result.FirstDifference;
    if (!result.Equal && step.Difference.empty()) {
        step.Difference = "lido de volta diferente do gravado";
    }
    Add(std::move(step));
}

void VisitRecorder::ConnectionClosed(CloseCause) {
    if (!spans) {
        Add(Step(StepKind::Closed));
    }
}

void VisitRecorder::End(std::string_view failure) {
    VisitStep step = Step(StepKind::Closed);
    step.Failure = failure;
    Add(std::move(step));
}

void VisitRecorder::ConnectionLost() {
    Add(Step(StepKind::Lost));
}

}  // namespace vyx
