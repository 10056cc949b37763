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
    : fault(std::move(fault)), recorder(DoorWindow, ToolVersionText(), HostName(), *this) {
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

void WindowRecord::StepAdded(const Visit& visit, std::size_t index) {
    if (!store) {
        return;
    }
    const VisitStep& step = visit.Steps()[index];
    Check(store->AppendStep(visit.Head().Uuid, static_cast<std::int64_t>(index) + 1, step.EndedAt,
                            StepKindText(step.Kind), StepBody(step)));
    Check(store->UpdateHead(visit.Head()));
}

void WindowRecord::LogAdded(const Visit& visit, std::size_t first) {
    if (store) {
        const auto& lines = visit.LogLines();
        Check(store->AppendLog(visit.Head().Uuid,
                               std::vector<std::string>(lines.begin() + first, lines.end())));
    }
}

void WindowRecord::HeadChanged(const Visit& visit) {
    if (store) {
        Check(store->UpdateHead(visit.Head()));
    }
}

}  // namespace vyx::app
