#include "CliRecord.h"

#include <cstdio>

#include "HostName.h"
#include "RecordStore.h"
#include "StorePath.h"

namespace vyx::cli {

std::string ToolVersion() {
    return VYX_VERSION_TEXT;
}

CliRecord::CliRecord(const vyx::ServiceFields& fields, const std::vector<std::string>& logLines)
    : recorder(DoorCli, ToolVersion(), HostName(), Sink()) {
    std::string path;
    if (auto why = record::DefaultStorePath(path)) {
        Drop(*why);
        return;
    }
    record::OpenedStore opened = record::RecordStore::Open(path);
    if (!opened.Notice.empty()) {
        std::fprintf(stderr, "vyxctl: %s\n", opened.Notice.c_str());
    }
    if (!opened.Store) {
        Drop(opened.Error);
        return;
    }
    store = std::move(opened.Store);
    recorder.SetServiceFields(fields);
    recorder.PortOpened();
    for (const std::string& line : logLines) {
        recorder.LogLine(line);
    }
}

VisitRecorder::Sink CliRecord::Sink() {
    VisitRecorder::Sink sink;
    sink.Begun = [this](const Visit& v) { Keep([&] { return store->BeginVisit(v.Head()); }); };
    sink.Stepped = [this](const Visit& v, const VisitStep& step) {
        const auto seq = static_cast<std::int64_t>(v.Steps().size());
        Keep([&] {
            auto why = store->AppendStep(v.Head().Uuid, seq, step.EndedAt, StepKindText(step.Kind),
                                         StepBody(step));
            return why ? why : store->UpdateHead(v.Head());
        });
    };
    sink.Logged = [this](const Visit& v, const std::string& line) {
        Keep([&] { return store->AppendLog(v.Head().Uuid, {line}); });
    };
    sink.Changed = [this](const Visit& v) { Keep([&] { return store->UpdateHead(v.Head()); }); };
    return sink;
}

void CliRecord::Keep(const std::function<std::optional<std::string>()>& write) {
    if (store) {
        if (auto why = write()) {
            Drop(*why);
        }
    }
}

CliRecord::~CliRecord() = default;

void CliRecord::Drop(const std::string& why) {
    store.reset();
    std::fprintf(stderr, "vyxctl: a visita não é registrada no histórico: %s\n", why.c_str());
}

}  // namespace vyx::cli
