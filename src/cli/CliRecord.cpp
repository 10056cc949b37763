#include "CliRecord.h"

#include <cstdio>

#include "BuildVersion.h"
#include "HostName.h"
#include "RecordStore.h"
#include "StorePath.h"
#include "StoreSink.h"

namespace vyx::cli {

CliRecord::CliRecord(const vyx::ServiceFields& fields, bool unit)
    : recorder(DoorCli, BuildVersionText, HostName(),
               record::StoreSink([this] { return store.get(); },
                                 [this](const std::string& why) { Drop(why); })) {
    recorder.SetServiceFields(fields);
    if (unit) {
        recorder.SpanConnections();
    }
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
}

CliRecord::~CliRecord() {
    if (recorder.Open()) {
        recorder.End();
    }
}

void CliRecord::Log(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        recorder.LogLine(line);
    }
}

void CliRecord::Drop(const std::string& why) {
    store.reset();
    std::fprintf(stderr, "vyxctl: a visita não é registrada no histórico: %s\n", why.c_str());
}

}  // namespace vyx::cli
