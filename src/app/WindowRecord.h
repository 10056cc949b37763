#pragma once
// The window's service record: one visit per connection, kept in the desktop
// database as each step ends. A database that cannot be used costs one line in
// the log pane; the device work goes on without it.

#include <functional>
#include <memory>
#include <string>

#include "RecordStore.h"
#include "VisitRecorder.h"

namespace vyx::app {

class WindowRecord {
public:
    /// Opens the store at `path` (the default path when empty); `fault` shows
    /// the first line that says why the record is not kept.
    WindowRecord(std::string path, std::function<void(const std::string&)> fault);
    ~WindowRecord();

    VisitRecorder& Recorder() { return recorder; }
    /// The store, for the history window; nothing when it could not be opened.
    record::RecordStore* Store() const { return store.get(); }

private:
    void Check(const std::optional<std::string>& error);

    std::function<void(const std::string&)> fault;
    std::unique_ptr<record::RecordStore> store;
    VisitRecorder recorder;
    bool faultShown = false;
};

/// The log line for a record that is not kept.
std::string RecordFaultLine(const std::string& why);

}  // namespace vyx::app
