#include "WindowRecord.h"

#include <utility>

#include "BuildVersion.h"
#include "HostName.h"
#include "StorePath.h"
#include "StoreSink.h"

namespace vyx::app {

std::string RecordFaultLine(const std::string& why) {
    return "Registro de serviço indisponível: " + why;
}

WindowRecord::WindowRecord(std::string path, std::function<void(const std::string&)> fault)
    : fault(std::move(fault)),
      recorder(DoorWindow, BuildVersionText, HostName(),
               record::StoreSink([this] { return store.get(); },
                                 [this](const std::string& why) { Check(why); })) {
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

}  // namespace vyx::app
