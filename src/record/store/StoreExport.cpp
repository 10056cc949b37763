#include "StoreExport.h"

#include "VisitCsv.h"
#include "VisitJson.h"

namespace vyx::record {

ExportOutcome ExportVisits(
    RecordStore& store, const VisitFilter& filter, ExportFormat format,
    const std::function<void(std::string_view)>& write,
    const std::function<void(const VisitHead&, const std::string& reason)>& unreadable) {
    ExportOutcome outcome;
    if (format == ExportFormat::Csv) {
        write(CsvHeader());
    }
    // The CSV has no place for the log lines: they are not read.
    outcome.Error =
        store.ScanWhole(filter, format == ExportFormat::JsonLines, [&](const StoredVisit& stored) {
            const VisitParse visit = VisitOf(stored);
            if (!visit.Found) {
                if (unreadable) {
                    unreadable(stored.Head, visit.Reason);
                }
                return;
            }
            write(format == ExportFormat::Csv ? CsvRow(*visit.Found)
                                              : VisitLine(*visit.Found) + '\n');
            ++outcome.Written;
        });
    return outcome;
}

}  // namespace vyx::record
