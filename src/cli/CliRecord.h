#pragma once
// A device connection's visit in the desktop record: opened with the port, each
// step stored as it ends. A record that cannot be opened or written is one line
// on stderr and the device work goes on without it.

#include <memory>
#include <string>
#include <vector>

#include "Visit.h"
#include "VisitRecorder.h"

namespace vyx::record {
class RecordStore;
}

namespace vyx::cli {

/// The tool's version, as the visits record it.
std::string ToolVersion();

class CliRecord {
public:
    /// Opens the record (the default place) and begins a visit with `fields`
    /// and `logLines` (what was printed before the device work, as a write's
    /// list of changes).
    CliRecord(const vyx::ServiceFields& fields, const std::vector<std::string>& logLines);
    ~CliRecord();
    CliRecord(const CliRecord&) = delete;
    CliRecord& operator=(const CliRecord&) = delete;

    /// What listens to the session.
    VisitRecorder& Recorder() { return recorder; }

private:
    // Says once why the record stopped, and writes no more.
    void Drop(const std::string& why);

    std::unique_ptr<record::RecordStore> store;
    VisitRecorder recorder;
};

}  // namespace vyx::cli
