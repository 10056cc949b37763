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
    : recorder(Visit::Open(DoorCli, ToolVersion(), HostName()), {}) {
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
    Visit visit = Visit::Open(DoorCli, ToolVersion(), HostName());
    visit.SetServiceFields(fields);
    for (const std::string& line : logLines) {
        visit.AddLogLine(line);
    }
    if (auto why = store->BeginVisit(visit.Head())) {
        Drop(*why);
        return;
    }
    if (!visit.LogLines().empty()) {
        if (auto why = store->AppendLog(visit.Head().Uuid, visit.LogLines())) {
            Drop(*why);
            return;
        }
    }
    VisitRecorder::Sink sink;
    sink.StepAdded = [this](const Visit& v, std::size_t seq) {
        if (!store) {
            return;
        }
        const VisitStep& step = v.Steps().back();
        auto why = store->AppendStep(v.Head().Uuid, static_cast<std::int64_t>(seq), step.EndedAt,
                                     StepKindText(step.Kind), StepBody(step));
        if (!why) {
            why = store->UpdateHead(v.Head());
        }
        if (why) {
            Drop(*why);
        }
    };
    sink.LogAdded = [this](const Visit& v, const std::string& line) {
        if (store) {
            if (auto why = store->AppendLog(v.Head().Uuid, {line})) {
                Drop(*why);
            }
        }
    };
    recorder = VisitRecorder(std::move(visit), std::move(sink));
}

CliRecord::~CliRecord() = default;

void CliRecord::Drop(const std::string& why) {
    store.reset();
    std::fprintf(stderr, "vyxctl: a visita não é registrada no histórico: %s\n", why.c_str());
}

}  // namespace vyx::cli
