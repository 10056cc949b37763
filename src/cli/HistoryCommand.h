#pragma once
// The service record from the command line: the visits listed, exported,
// reported, imported and purged.

#include <string>

#include "RecordStore.h"

namespace vyx::cli {

struct HistoryOptions {
    record::VisitFilter Filter;
    bool Json = false;
    bool Csv = false;
    /// report: the visit's UUID, or --last.
    std::string Visit;
    bool Last = false;
    /// report -o: "-" or empty is standard output.
    std::string Output;
    /// import: the JSON Lines file.
    std::string File;
    /// purge --before, and --yes for scripts.
    std::string Before;
    bool Yes = false;
};

int HistoryCommand(const HistoryOptions& options);
int ReportCommand(const HistoryOptions& options);
int ImportCommand(const HistoryOptions& options);
int PurgeCommand(const HistoryOptions& options);

/// Whether `text` is a date (2026-12-09) or an instant with its offset
/// (2026-12-09T10:29:40-03:00), as the filters and purge take them.
bool IsDateArgument(const std::string& text);

}  // namespace vyx::cli
