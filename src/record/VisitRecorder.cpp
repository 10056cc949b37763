#include "VisitRecorder.h"

#include <utility>

#include "RecordText.h"

namespace vyx {

namespace {

ExchangeCounts CountsOf(const ExchangeCounters& counters) {
    // The receive faults are counted up from zero: a negative one is no count.
    auto count = [](std::int32_t value) {
        return static_cast<std::uint32_t>(value < 0 ? 0 : value);
    };
    ExchangeCounts counts;
    counts.Package = counters.At;
    counts.Packages = counters.Count;
    counts.Resends = counters.Resends;
    counts.Nacks = count(counters.Nacks);
    counts.Code10 = count(counters.ShortNotifications);
    counts.Code15 = count(counters.BadStarts);
    counts.Code20 = count(counters.StrayBytes);
    return counts;
}

VisitBlock BlockOf(const ConfigBlock& block, bool repaired = false) {
    return {block.Image, block.Decoded.ErrorCount, repaired};
}

VisitStep StepOf(StepKind kind) {
    VisitStep step;
    step.Kind = kind;
    step.EndedAt = NowText();
    return step;
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

VisitRecorder::VisitRecorder(Visit visit, Sink sink)
    : visit(std::move(visit)), sink(std::move(sink)) {}

void VisitRecorder::Add(VisitStep step) {
    if (visit.AddStep(std::move(step)) && sink.StepAdded) {
        sink.StepAdded(visit, visit.Steps().size());
    }
}

void VisitRecorder::Log(std::string_view line) {
    const std::size_t before = visit.LogLines().size();
    visit.AddLogLine(line);
    // The line that says the log is full is kept too.
    if (visit.LogLines().size() > before && sink.LogAdded) {
        sink.LogAdded(visit, visit.LogLines().back());
    }
}

void VisitRecorder::Identified(const IdentifiedDevice& device) {
    Add(IdentifiedStep(device.Identity, VerdictOf(device), NowText()));
}

void VisitRecorder::ExchangeStarted(Exchange exchange, const ExchangeCounters& counters) {
    // Only an upload is a step of its own when it starts: a cut one must say
    // where it stopped even after a crash.
    if (exchange == Exchange::FirmwareUpload) {
        VisitStep step = StepOf(StepKind::UploadStarted);
        step.Counts = CountsOf(counters);
        Add(std::move(step));
    }
}

void VisitRecorder::ExchangeFailed(const ExchangeFailure& failure) {
    VisitStep step = StepOf(failure.Of == Exchange::FirmwareUpload ? StepKind::UploadFailed
                            : failure.Of == Exchange::ConfigWrite  ? StepKind::ConfigWritten
                                                                   : StepKind::ConfigRead);
    step.Counts = CountsOf(failure.Counters);
    step.FailureCode = failure.Code;
    step.Failure = failure.Caption + ": " + failure.Text;
    Add(std::move(step));
}

void VisitRecorder::ExchangeCutOff(const ExchangeCut& cut) {
    VisitStep step = StepOf(cut.Of == Exchange::FirmwareUpload ? StepKind::UploadCut
                            : cut.Of == Exchange::ConfigWrite  ? StepKind::ConfigWritten
                                                               : StepKind::ConfigRead);
    step.Counts = CountsOf(cut.Counters);
    if (cut.Of != Exchange::FirmwareUpload) {
        step.Failure = "interrompida pela conexão";
    }
    Add(std::move(step));
}

void VisitRecorder::UploadFinished(const ExchangeCounters& counters) {
    VisitStep step = StepOf(StepKind::UploadFinished);
    step.Counts = CountsOf(counters);
    Add(std::move(step));
}

void VisitRecorder::ConfigurationRead(const ConfigReadResult& outcome) {
    VisitStep step = StepOf(StepKind::ConfigRead);
    step.Block = BlockOf(outcome.Read, outcome.Repaired);
    Add(std::move(step));
}

void VisitRecorder::ConfigurationWritten(const ConfigBlock& block,
                                         const ExchangeCounters& counters) {
    VisitStep step = StepOf(StepKind::ConfigWritten);
    step.Block = BlockOf(block);
    step.Counts = CountsOf(counters);
    Add(std::move(step));
}

void VisitRecorder::ReadBack(const ReadBackResult& outcome) {
    VisitStep step = StepOf(StepKind::ConfigReadBack);
    step.Block = BlockOf(outcome.Read);
    step.Difference = outcome.Equal ? std::string() : outcome.FirstDifference;
    Add(std::move(step));
}

void VisitRecorder::ConnectionClosed(CloseCause) {
    Add(StepOf(StepKind::Closed));
}

void VisitRecorder::ConnectionLost() {
    Add(StepOf(StepKind::Lost));
}

}  // namespace vyx
