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

class CliRecord {
public:
    /// Opens the record (the default place) for a visit with `fields`, begun
    /// when the first connection opens. `unit`: the visit spans every
    /// connection of one unit's service until End (or this record's end).
    explicit CliRecord(const vyx::ServiceFields& fields, bool unit = false);
    ~CliRecord();
    CliRecord(const CliRecord&) = delete;
    CliRecord& operator=(const CliRecord&) = delete;

    /// What listens to the session.
    VisitRecorder& Recorder() { return recorder; }
    /// Lines the command printed for the unit (a write's list of changes).
    void Log(const std::vector<std::string>& lines);

private:
    // Says once why the record stopped, and writes no more.
    void Drop(const std::string& why);

    std::unique_ptr<record::RecordStore> store;
    VisitRecorder recorder;
};

}  // namespace vyx::cli
