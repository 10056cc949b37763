#include "WindowRecord.h"

#include <utility>
#include <vector>

#include "HostName.h"
#include "StorePath.h"
#include "VersionNumber.h"

namespace vyx::app {

namespace {

std::string ToolVersionText() {
    return std::to_string(ToolVersion.Major) + "." + std::to_string(ToolVersion.Minor) + "." +
           static_cast<char>(ToolVersion.Letter);
}

}  // namespace

std::string RecordFaultLine(const std::string& why) {
    return "Registro de serviço indisponível: " + why;
}

WindowRecord::WindowRecord(std::string path, std::function<void(const std::string&)> fault)
    : fault(std::move(fault)), recorder(DoorWindow, ToolVersionText(), HostName(), Sink()) {
    std::optional<std::string> error;
    if (path.empty()) {
        error = record::DefaultStorePath(path);
    }
    if (!error) {
        record::OpenedStore opened = record::RecordStore::Open(path);
        store = std::move(opened.Store);
        if (!store) {
            error = opened.Error;
        } else if (!opened.Notice.empty()) {
            this->fault(opened.Notice);
        }
    }
    Check(error);
}

WindowRecord::~WindowRecord() = default;

VisitRecorder::Sink WindowRecord::Sink() {
    return {
        [this](const Visit& visit) { Began(visit); },
        [this](const Visit& visit, const VisitStep& step) { StepAdded(visit, step); },
        [this](const Visit& visit, const std::string& line) { LogAdded(visit, line); },
        [this](const Visit& visit) { HeadChanged(visit); },
    };
}

void WindowRecord::Check(const std::optional<std::string>& error) {
    if (error && !faultShown) {
        faultShown = true;
        fault(RecordFaultLine(*error));
    }
}

void WindowRecord::Began(const Visit& visit) {
    if (store) {
        Check(store->BeginVisit(visit.Head()));
    }
}

void WindowRecord::StepAdded(const Visit& visit, const VisitStep& step) {
    if (!store) {
        return;
    }
    // The step is the visit's last: its place counts from 1.
    const auto seq = static_cast<std::int64_t>(visit.Steps().size());
    Check(store->AppendStep(visit.Head().Uuid, seq, step.EndedAt, StepKindText(step.Kind),
                            StepBody(step)));
    Check(store->UpdateHead(visit.Head()));
}

void WindowRecord::LogAdded(const Visit& visit, const std::string& line) {
    if (store) {
        Check(store->AppendLog(visit.Head().Uuid, {line}));
    }
}

void WindowRecord::HeadChanged(const Visit& visit) {
    if (store) {
        Check(store->UpdateHead(visit.Head()));
    }
}

}  // namespace vyx::app
