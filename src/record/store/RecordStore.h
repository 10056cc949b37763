#pragma once
// The service record on the desktop: one SQLite database shared by the window and
// every vyxctl. A visit is appended as it happens, each step its own short
// transaction, so a visit cut by a crash keeps what it had; nothing is rewritten
// and only a purge the user asks for deletes. Every refusal is one line for the
// door to show: the device work goes on without the record.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "VisitHead.h"

namespace vyx {
struct VisitParse;
}

namespace vyx::record {

class Connection;

/// One step of a visit as it was stored.
struct StoredStep {
    std::int64_t Seq = 0;
    std::string EndedAt;
    std::string Kind;
    std::string Body;

    bool operator==(const StoredStep&) const = default;
};

/// A whole visit: its head, its steps in order and its log lines in order.
struct StoredVisit {
    VisitHead Head;
    std::vector<StoredStep> Steps;
    std::vector<std::string> Log;

    bool operator==(const StoredVisit&) const = default;
};

/// Which visits a listing returns; an empty field does not filter.
struct VisitFilter {
    std::string DeviceId{};
    std::string Plate{};
    /// Instants in any form SQLite's date functions read ("2026-12-09",
    /// "2026-12-09T10:29:40-03:00"): visits started at or after Since and before
    /// Until. A date alone is midnight UTC.
    std::string Since{};
    std::string Until{};
    std::string Result{};
    /// Part of the service fields, the device ID or the visit's UUID, ASCII
    /// letters in either case.
    std::string Text{};
};

struct StoreOptions {
    /// How long a write waits for another program's before it gives up.
    int BusyTimeoutMs = 5000;
    /// A ceiling on the database's size in pages; 0 keeps SQLite's own.
    std::int64_t MaxPageCount = 0;
};

class RecordStore;

/// What opening gave: the store, or the one line that says why there is none.
/// `Notice` says what was done to open it (a damaged file set aside).
struct OpenedStore {
    std::unique_ptr<RecordStore> Store;
    std::string Error;
    std::string Notice;
};

/// Whether a visit handed over whole was stored or was already there.
enum class Insertion { Inserted, AlreadyThere };

/// One connection to the record: used by one thread at a time. Every process,
/// and every thread that records at the same time, opens its own; SQLite keeps
/// their writes apart.
class RecordStore {
public:
    /// The schema this program writes; older databases are brought up to it,
    /// newer ones refused.
    static int SchemaVersion();

    /// Opens (or creates) the database at `path`. A file that is not a database,
    /// or is damaged, is never written: it is renamed to
    /// "<path>.corrupt-<UTC time>" (with its journal files) and a new one begun.
    static OpenedStore Open(const std::string& path, const StoreOptions& options = {});

    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    const std::string& Path() const { return path; }

    // Each write is one transaction and returns the line that says why it was
    // not stored. A visit's UUID names it in every later call.
    std::optional<std::string> BeginVisit(const VisitHead& head);
    std::optional<std::string> AppendStep(std::string_view uuid, std::int64_t seq,
                                          std::string_view endedAt, std::string_view kind,
                                          std::string_view body);
    /// Appends `lines` after the visit's earlier log lines.
    std::optional<std::string> AppendLog(std::string_view uuid,
                                         const std::vector<std::string>& lines);
    /// Brings the stored head up to `head` as the visit goes on: its end, result,
    /// cut, versions and service fields. The UUID names the visit; where it came
    /// from and when it began stay as stored, and so do a device ID and first
    /// version once set.
    std::optional<std::string> UpdateHead(const VisitHead& head);
    std::optional<std::string> FinishVisit(std::string_view uuid, std::string_view endedAt,
                                           std::string_view result, std::string_view versionAfter,
                                           std::string_view cut);
    /// Stores an imported visit all at once, or nothing of it; a visit whose UUID
    /// is there already is left as it is.
    std::optional<std::string> InsertWholeVisit(const StoredVisit& visit, Insertion& outcome);
    /// Deletes the visits started before `before`, with their steps and log
    /// lines; `deleted` counts the visits. A visit whose start is no date is
    /// kept.
    std::optional<std::string> PurgeBefore(std::string_view before, std::int64_t& deleted);

    /// The heads matching `filter`, newest first, `limit` of them (0: all) after
    /// skipping `offset`.
    std::optional<std::string> List(const VisitFilter& filter, std::int64_t limit,
                                    std::int64_t offset, std::vector<VisitHead>& heads);
    /// Every head matching `filter`, newest first, handed to `each` one by one
    /// (without holding them all); `each` does not call the store.
    std::optional<std::string> Scan(const VisitFilter& filter,
                                    const std::function<void(const VisitHead&)>& each);
    /// Every visit matching `filter` whole, newest first, as one look at the
    /// record, handed to `each` one by one (without holding them all); without
    /// `withLog` their log lines are left out (the CSV has no place for them).
    /// `each` does not call the store.
    std::optional<std::string> ScanWhole(const VisitFilter& filter, bool withLog,
                                         const std::function<void(const StoredVisit&)>& each);
    /// One visit whole; `visit` stays empty when no visit has that UUID.
    std::optional<std::string> Find(std::string_view uuid, std::optional<StoredVisit>& visit);
    /// The newest visit whole; empty when there is none.
    std::optional<std::string> Last(std::optional<StoredVisit>& visit);

private:
    RecordStore(std::unique_ptr<Connection> connection, std::string path);
    // The heads with their visits' rows.
    std::optional<std::string> Scan(
        const VisitFilter& filter, std::int64_t limit, std::int64_t offset,
        const std::function<void(const VisitHead&, std::int64_t row)>& each);
    // A visit's steps and log lines, by its row.
    void ReadSteps(std::int64_t row, std::vector<StoredStep>& steps);
    void ReadLog(std::int64_t row, std::vector<std::string>& lines);

    std::unique_ptr<Connection> connection;
    std::string path;
    int busyTimeoutMs = 0;
};

/// The visit a store's rows hold, read as an export line is: a step that does
/// not read refuses the visit, with the reason.
vyx::VisitParse VisitOf(const StoredVisit& stored);

}  // namespace vyx::record
