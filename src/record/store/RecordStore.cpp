#include "RecordStore.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "Schema.h"
#include "SqliteHandles.h"
#include "VisitJson.h"

namespace vyx::record {

namespace {

namespace fs = std::filesystem;

// A head's columns in VisitHead's order; ReadHead and the inserts follow it.
constexpr const char* HeadColumns =
    "uuid, door, tool_version, host, started_at, ended_at, device_id, device_version_before, "
    "device_version_after, technician, plate, vin, work_order, note, result, cut";
constexpr int HeadColumnCount = 16;

// Newest first; among visits of one instant the later stored first. Both keys
// are in every index of visits, so a page needs no sorting.
constexpr const char* NewestFirst = " ORDER BY started_unix DESC, id DESC";

constexpr const char* InsertHead =
    "INSERT INTO visits (uuid, door, tool_version, host, started_at, started_unix, ended_at, "
    "device_id, device_version_before, device_version_after, technician, plate, vin, "
    "work_order, note, result, cut) VALUES (?1, ?2, ?3, ?4, ?5, unixepoch(?5), ?6, ?7, ?8, ?9, "
    "?10, ?11, ?12, ?13, ?14, ?15, ?16)";

constexpr const char* InsertStep =
    "INSERT INTO steps (visit, seq, ended_at, kind, body) VALUES (?, ?, ?, ?, ?)";

constexpr const char* InsertLogLine = "INSERT INTO log_lines (visit, seq, text) VALUES (?, ?, ?)";

// The refusal for a UUID no visit has.
SqlFault NoSuchVisit() {
    return SqlFault{SQLITE_CONSTRAINT_FOREIGNKEY, {}};
}

// The row number of the visit with `uuid`; throws when there is none.
std::int64_t VisitRow(Connection& connection, std::string_view uuid) {
    Query query(connection.Prepared("SELECT id FROM visits WHERE uuid = ?"));
    if (!query.Bind(uuid).Step()) {
        throw NoSuchVisit();
    }
    return query.Int(0);
}

bool IsDamage(const SqlFault& fault) {
    return fault.Primary() == SQLITE_NOTADB || fault.Primary() == SQLITE_CORRUPT;
}

std::string FaultLine(const std::string& path, const SqlFault& fault, int busyTimeoutMs) {
    const std::string where = "registro de serviço " + path + ": ";
    switch (fault.Primary()) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return where + "em uso por outro programa (esperou " +
                   (busyTimeoutMs % 1000 == 0 ? std::to_string(busyTimeoutMs / 1000) + " s)"
                                              : std::to_string(busyTimeoutMs) + " ms)");
        case SQLITE_READONLY:
            return where + "somente leitura";
        case SQLITE_FULL:
            return where + "disco cheio";
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return where + "danificado (" + fault.Message + ")";
        case SQLITE_CANTOPEN:
            return where + "não pode ser aberto (" + fault.Message + ")";
        case SQLITE_IOERR:
            return where + "erro de leitura ou gravação (" + fault.Message + ")";
        case SQLITE_CONSTRAINT:
            if (fault.Code == SQLITE_CONSTRAINT_FOREIGNKEY) {
                return where + "nenhuma visita com esse UUID";
            }
            if (fault.Code == SQLITE_CONSTRAINT_PRIMARYKEY ||
                fault.Code == SQLITE_CONSTRAINT_UNIQUE) {
                return where + "já registrado, nada foi reescrito";
            }
            break;
        default:
            break;
    }
    return where + fault.Message;
}

// A head's sixteen values as ?1 to ?16, in InsertHead's order.
void BindHead(Query& query, const VisitHead& head) {
    query.Bind(head.Uuid)
        .Bind(head.Door)
        .Bind(head.ToolVersion)
        .Bind(head.Host)
        .Bind(head.StartedAt)
        .Bind(head.EndedAt)
        .Bind(head.DeviceId)
        .Bind(head.DeviceVersionBefore)
        .Bind(head.DeviceVersionAfter)
        .Bind(head.Technician)
        .Bind(head.Plate)
        .Bind(head.Vin)
        .Bind(head.WorkOrder)
        .Bind(head.Note)
        .Bind(head.Result)
        .Bind(head.Cut);
}

VisitHead ReadHead(const Query& query) {
    int column = 0;
    auto next = [&] { return query.Text(column++); };
    VisitHead head;
    head.Uuid = next();
    head.Door = next();
    head.ToolVersion = next();
    head.Host = next();
    head.StartedAt = next();
    head.EndedAt = next();
    head.DeviceId = next();
    head.DeviceVersionBefore = next();
    head.DeviceVersionAfter = next();
    head.Technician = next();
    head.Plate = next();
    head.Vin = next();
    head.WorkOrder = next();
    head.Note = next();
    head.Result = next();
    head.Cut = next();
    return head;
}

// "20261209T132940Z": when a damaged file was set aside.
std::string UtcStamp() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss time(now - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02u%02uT%02d%02d%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

// Renames a damaged database and its journal files to a name not taken yet, so
// that nothing is written over. Returns the new name, or empty when the rename
// failed (`error` says why).
std::string SetAside(const std::string& path, std::string& error) {
    const std::string stamp = path + ".corrupt-" + UtcStamp();
    std::string aside = stamp;
    std::error_code failed;
    for (int n = 2; fs::exists(aside, failed) || fs::exists(aside + "-wal", failed); ++n) {
        aside = stamp + "-" + std::to_string(n);
    }
    fs::rename(path, aside, failed);
    if (failed) {
        error = failed.message();
        return {};
    }
    for (const char* journal : {"-wal", "-shm", "-journal"}) {
        std::error_code ignored;
        if (fs::exists(path + journal, ignored)) {
            fs::rename(path + journal, aside + journal, ignored);
        }
    }
    return aside;
}

std::unique_ptr<Connection> OpenConnection(const std::string& path, const StoreOptions& options) {
    // A file whose mode allows no writing is left alone, even by a user the
    // system would let write it.
    std::error_code ignored;
    const fs::file_status status = fs::status(path, ignored);
    constexpr fs::perms writable =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (fs::exists(status) && (status.permissions() & writable) == fs::perms::none) {
        throw SqlFault{SQLITE_READONLY, "somente leitura"};
    }
    auto connection =
        std::make_unique<Connection>(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    connection->WaitWhileBusy(std::chrono::milliseconds(options.BusyTimeoutMs));
    // SQLite opens a write-protected file for reading alone without a word.
    if (sqlite3_db_readonly(connection->Handle(), "main") == 1) {
        throw SqlFault{SQLITE_READONLY, "somente leitura"};
    }
    if (options.MaxPageCount > 0) {
        const std::string pages = std::to_string(options.MaxPageCount);
        connection->Exec(("PRAGMA max_page_count = " + pages).c_str());
    }
    connection->Exec("PRAGMA foreign_keys = ON");
    // The first read of the file (a file that is no database says so here), and
    // a newer program's database refused before anything is written to it.
    if (const int found = SchemaVersionOf(*connection); found > LatestSchemaVersion()) {
        throw NewerSchema{found};
    }
    if (!IsRecordDatabase(*connection)) {
        throw ForeignDatabase{};
    }
    // A new file's switch to WAL needs it to itself: while another program opens
    // the same new file, the switch answers with the old mode instead of waiting,
    // so it is asked again within the busy time-out.
    const auto giveUp =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(options.BusyTimeoutMs);
    for (;;) {
        try {
            Statement mode(connection->Handle(), "PRAGMA journal_mode = WAL");
            Query query(mode);
            if (query.Step() && query.Text(0) == "wal") {
                break;
            }
        } catch (const SqlFault& fault) {
            if (fault.Primary() != SQLITE_BUSY || std::chrono::steady_clock::now() >= giveUp) {
                throw;
            }
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            throw SqlFault{SQLITE_CANTOPEN, "sem diário WAL"};
        }
        sqlite3_sleep(10);
    }
    // Durable at each checkpoint; a commit never leaves the file damaged.
    connection->Exec("PRAGMA synchronous = NORMAL");
    MigrateSchema(*connection, LatestSchemaVersion());
    // A glance at each table's first page: a cut-off file shows here rather than
    // in the middle of a visit.
    for (const char* probe : {"SELECT count(*) FROM (SELECT 1 FROM visits LIMIT 1)",
                              "SELECT count(*) FROM (SELECT 1 FROM steps LIMIT 1)",
                              "SELECT count(*) FROM (SELECT 1 FROM log_lines LIMIT 1)"}) {
        Query(connection->Prepared(probe)).Run();
    }
    return connection;
}

// The instant SQLite reads in `text`, to refuse a date that is none before it
// filters everything out.
std::optional<std::string> CheckInstant(Connection& connection, std::string_view text) {
    Query query(connection.Prepared("SELECT unixepoch(?) IS NOT NULL"));
    query.Bind(text);
    if (query.Step() && query.Int(0) == 1) {
        return std::nullopt;
    }
    return "data inválida: \"" + std::string(text) + "\" (use AAAA-MM-DD)";
}

// An ASCII-case-blind pattern for `text` with LIKE's own characters taken as
// they are.
std::string ContainsPattern(std::string_view text) {
    std::string pattern = "%";
    for (const char c : text) {
        if (c == '%' || c == '_' || c == '\\') {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern + "%";
}

// Runs one operation of the store: SQLite's refusal becomes the store's line.
template <typename Body>
std::optional<std::string> Guard(const std::string& path, int busyTimeoutMs, Body&& body) {
    try {
        return body();
    } catch (const SqlFault& fault) {
        return FaultLine(path, fault, busyTimeoutMs);
    }
}

}  // namespace

OpenedStore RecordStore::Open(const std::string& path, const StoreOptions& options) {
    OpenedStore opened;
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            opened.Store.reset(new RecordStore(OpenConnection(path, options), path));
            opened.Store->busyTimeoutMs = options.BusyTimeoutMs;
            return opened;
        } catch (const NewerSchema& newer) {
            opened.Error = "registro de serviço " + path +
                           ": escrito por um VyxTool mais novo (esquema " +
                           std::to_string(newer.Found) + ", este lê até " +
                           std::to_string(LatestSchemaVersion()) + "); não foi alterado";
            return opened;
        } catch (const ForeignDatabase&) {
            opened.Error = "registro de serviço " + path +
                           ": é um banco de dados de outro programa; não foi alterado";
            return opened;
        } catch (const SqlFault& fault) {
            if (attempt > 0 || !IsDamage(fault)) {
                opened.Error = FaultLine(path, fault, options.BusyTimeoutMs);
                return opened;
            }
            std::string error;
            const std::string aside = SetAside(path, error);
            if (aside.empty()) {
                opened.Error = FaultLine(path, fault, options.BusyTimeoutMs) +
                               "; não foi possível guardá-lo à parte (" + error + ")";
                return opened;
            }
            opened.Notice = "registro de serviço " + path + ": danificado (" + fault.Message +
                            "), guardado como " + aside + "; um novo foi começado";
        }
    }
    return opened;
}

RecordStore::RecordStore(std::unique_ptr<Connection> connection, std::string path)
    : connection(std::move(connection)), path(std::move(path)) {}

RecordStore::~RecordStore() = default;

int RecordStore::SchemaVersion() {
    return LatestSchemaVersion();
}

std::optional<std::string> RecordStore::BeginVisit(const VisitHead& head) {
    if (head.Uuid.empty()) {
        return "registro de serviço " + path + ": visita sem UUID";
    }
    return Guard(path, busyTimeoutMs, [&]() -> std::optional<std::string> {
        Query query(connection->Prepared(InsertHead));
        BindHead(query, head);
        query.Run();
        return std::nullopt;
    });
}

std::optional<std::string> RecordStore::AppendStep(std::string_view uuid, std::int64_t seq,
                                                   std::string_view endedAt, std::string_view kind,
                                                   std::string_view body) {
    return Guard(path, busyTimeoutMs, [&]() -> std::optional<std::string> {
        // One statement: the visit's row found and the step stored at once.
        Query query(
            connection->Prepared("INSERT INTO steps (visit, seq, ended_at, kind, body) "
                                 "SELECT id, ?, ?, ?, ? FROM visits WHERE uuid = ?"));
        query.Bind(seq).Bind(endedAt).Bind(kind).Bind(body).Bind(uuid).Run();
        if (sqlite3_changes(connection->Handle()) == 0) {
            throw NoSuchVisit();
        }
        return std::nullopt;
    });
}

std::optional<std::string> RecordStore::AppendLog(std::string_view uuid,
                                                  const std::vector<std::string>& lines) {
    return Guard(path, busyTimeoutMs, [&]() -> std::optional<std::string> {
        Transaction transaction(*connection);
        const std::int64_t visit = VisitRow(*connection, uuid);
        std::int64_t seq = 0;
        {
            Query last(connection->Prepared(
                "SELECT coalesce(max(seq), 0) FROM log_lines WHERE visit = ?"));
            seq = last.Bind(visit).Step() ? last.Int(0) : 0;
        }
        for (const std::string& line : lines) {
            Query(connection->Prepared(InsertLogLine)).Bind(visit).Bind(++seq).Bind(line).Run();
        }
        transaction.Commit();
        return std::nullopt;
    });
}

std::optional<std::string> RecordStore::UpdateHead(const VisitHead& head) {
    return Guard(path, busyTimeoutMs, [&]() -> std::optional<std::string> {
        // The head binds as for the insert; where it came from and when it began
        // (?2 to ?5) stay as stored.
        Query query(connection->Prepared(
            "UPDATE visits SET ended_at = ?6, device_id = iif(device_id = '', ?7, device_id), "
            "device_version_before = iif(device_version_before = '', ?8, device_version_before), "
            "device_version_after = ?9, technician = ?10, plate = ?11, vin = ?12, "
            "work_order = ?13, note = ?14, result = ?15, cut = ?16 WHERE uuid = ?1"));
        BindHead(query, head);
        query.Run();
        if (sqlite3_changes(connection->Handle()) == 0) {
            throw NoSuchVisit();
        }
        return std::nullopt;
    });
}

std::optional<std::string> RecordStore::FinishVisit(std::string_view uuid, std::string_view endedAt,
                                                    std::string_view result,
                                                    std::string_view versionAfter,
                                                    std::string_view cut) {
    return Guard(path, busyTimeoutMs, [&]() -> std::optional<std::string> {
        Query query(connection->Prepared(
            "UPDATE visits SET ended_at = ?2, result = ?3, device_version_after = ?4, cut = ?5 "
            "WHERE uuid = ?1"));
        query.Bind(uuid).Bind(endedAt).Bind(result).Bind(versionAfter).Bind(cut).Run();
        if (sqlite3_changes(connection->Handle()) == 0) {
            throw NoSuchVisit();
        }
        return std::nullopt;
    });
}

std::optional<std::string> RecordStore::InsertWholeVisit(const StoredVisit& visit,
                                                         Insertion& outcome) {
    if (visit.Head.Uuid.empty()) {
        return "registro de serviço " + path + ": visita sem UUID";
    }
    return Guard(path, busyTimeoutMs, [&]() -> std::optional<std::string> {
        Transaction transaction(*connection);
        {
            Query known(connection->Prepared("SELECT 1 FROM visits WHERE uuid = ?"));
            if (known.Bind(visit.Head.Uuid).Step()) {
                outcome = Insertion::AlreadyThere;
                return std::nullopt;
            }
        }
        {
            Query head(connection->Prepared(InsertHead));
            BindHead(head, visit.Head);
            head.Run();
        }
        const std::int64_t row = sqlite3_last_insert_rowid(connection->Handle());
        for (const StoredStep& step : visit.Steps) {
            Query(connection->Prepared(InsertStep))
                .Bind(row)
                .Bind(step.Seq)
                .Bind(step.EndedAt)
                .Bind(step.Kind)
                .Bind(step.Body)
                .Run();
        }
        std::int64_t seq = 0;
        for (const std::string& line : visit.Log) {
            Query(connection->Prepared(InsertLogLine)).Bind(row).Bind(++seq).Bind(line).Run();
        }
        transaction.Commit();
        outcome = Insertion::Inserted;
        return std::nullopt;
    });
}

std::optional<std::string> RecordStore::PurgeBefore(std::string_view before,
                                                    std::int64_t& deleted) {
    return Guard(path, busyTimeoutMs, [&]() -> std::optional<std::string> {
        if (auto invalid = CheckInstant(*connection, before)) {
            return invalid;
        }
        Query query(connection->Prepared("DELETE FROM visits WHERE started_unix < unixepoch(?)"));
        query.Bind(before).Run();
        deleted = sqlite3_changes64(connection->Handle());
        return std::nullopt;
    });
}

std::optional<std::string> RecordStore::List(const VisitFilter& filter, std::int64_t limit,
                                             std::int64_t offset, std::vector<VisitHead>& heads) {
    heads.clear();
    return Scan(filter, limit, offset,
                [&](const VisitHead& head, std::int64_t) { heads.push_back(head); });
}

std::optional<std::string> RecordStore::Scan(const VisitFilter& filter,
                                             const std::function<void(const VisitHead&)>& each) {
    return Scan(filter, 0, 0, [&](const VisitHead& head, std::int64_t) { each(head); });
}

std::optional<std::string> RecordStore::ScanWhole(
    const VisitFilter& filter, bool withLog, const std::function<void(const StoredVisit&)>& each) {
    return Guard(path, busyTimeoutMs, [&]() -> std::optional<std::string> {
        // One read throughout, not one a visit: an export of the whole record
        // would otherwise pay a transaction and a look-up by UUID for each.
        Transaction snapshot(*connection, Transaction::Kind::Read);
        StoredVisit visit;
        auto why = Scan(filter, 0, 0, [&](const VisitHead& head, std::int64_t row) {
            visit.Head = head;
            visit.Steps.clear();
            visit.Log.clear();
            ReadSteps(row, visit.Steps);
            if (withLog) {
                ReadLog(row, visit.Log);
            }
            each(visit);
        });
        if (why) {
            return why;
        }
        snapshot.Commit();
        return std::nullopt;
    });
}

void RecordStore::ReadSteps(std::int64_t row, std::vector<StoredStep>& steps) {
    Query query(connection->Prepared(
        "SELECT seq, ended_at, kind, body FROM steps WHERE visit = ? ORDER BY seq"));
    query.Bind(row);
    while (query.Step()) {
        steps.push_back({query.Int(0), query.Text(1), query.Text(2), query.Text(3)});
    }
}

void RecordStore::ReadLog(std::int64_t row, std::vector<std::string>& lines) {
    Query query(connection->Prepared("SELECT text FROM log_lines WHERE visit = ? ORDER BY seq"));
    query.Bind(row);
    while (query.Step()) {
        lines.push_back(query.Text(0));
    }
}

std::optional<std::string> RecordStore::Scan(
    const VisitFilter& filter, std::int64_t limit, std::int64_t offset,
    const std::function<void(const VisitHead&, std::int64_t row)>& each) {
    return Guard(path, busyTimeoutMs, [&]() -> std::optional<std::string> {
        for (const std::string* instant : {&filter.Since, &filter.Until}) {
            if (!instant->empty()) {
                if (auto invalid = CheckInstant(*connection, *instant)) {
                    return invalid;
                }
            }
        }
        // The SQL names only the filters given (so each shape keeps its index and
        // its prepared statement); the values are bound in the same order.
        std::string sql = std::string("SELECT ") + HeadColumns + ", id FROM visits WHERE 1";
        std::vector<std::string> values;
        auto where = [&](const std::string& value, const char* condition) {
            if (!value.empty()) {
                sql += condition;
                values.push_back(value);
            }
        };
        where(filter.DeviceId, " AND device_id = ?");
        where(filter.Plate, " AND plate = ?");
        where(filter.Since, " AND started_unix >= unixepoch(?)");
        where(filter.Until, " AND started_unix < unixepoch(?)");
        where(filter.Result, " AND result = ?");
        if (!filter.Text.empty()) {
            // Each field on its own, so a match never spans two; one value for
            // every mention of the named parameter.
            sql += " AND (";
            const char* separator = "";
            for (const char* field :
                 {"uuid", "device_id", "technician", "plate", "vin", "work_order", "note"}) {
                sql += separator;
                sql += field;
                sql += " LIKE :text ESCAPE '\\'";
                separator = " OR ";
            }
            sql += ")";
            values.push_back(ContainsPattern(filter.Text));
        }
        sql += NewestFirst;
        sql += " LIMIT ? OFFSET ?";
        Query query(connection->Prepared(sql));
        for (const std::string& value : values) {
            query.Bind(value);
        }
        query.Bind(limit > 0 ? limit : std::int64_t{-1}).Bind(offset > 0 ? offset : 0);
        while (query.Step()) {
            each(ReadHead(query), query.Int(HeadColumnCount));
        }
        return std::nullopt;
    });
}

std::optional<std::string> RecordStore::Find(std::string_view uuid,
                                             std::optional<StoredVisit>& visit) {
    visit.reset();
    return Guard(path, busyTimeoutMs, [&]() -> std::optional<std::string> {
        Transaction snapshot(*connection, Transaction::Kind::Read);
        StoredVisit found;
        std::int64_t row = 0;
        {
            Query head(connection->Prepared(std::string("SELECT ") + HeadColumns +
                                            ", id FROM visits WHERE uuid = ?"));
            if (!head.Bind(uuid).Step()) {
                return std::nullopt;
            }
            found.Head = ReadHead(head);
            row = head.Int(HeadColumnCount);
        }
        ReadSteps(row, found.Steps);
        ReadLog(row, found.Log);
        snapshot.Commit();
        visit = std::move(found);
        return std::nullopt;
    });
}

std::optional<std::string> RecordStore::Last(std::optional<StoredVisit>& visit) {
    visit.reset();
    std::string uuid;
    if (auto failed = Guard(path, busyTimeoutMs, [&]() -> std::optional<std::string> {
            Query newest(connection->Prepared(std::string("SELECT uuid FROM visits") + NewestFirst +
                                              " LIMIT 1"));
            if (newest.Step()) {
                uuid = newest.Text(0);
            }
            return std::nullopt;
        })) {
        return failed;
    }
    return uuid.empty() ? std::nullopt : Find(uuid, visit);
}

VisitParse VisitOf(const StoredVisit& stored) {
    std::vector<vyx::StoredStep> steps;
    steps.reserve(stored.Steps.size());
    for (const StoredStep& step : stored.Steps) {
        steps.push_back({step.Kind, step.Body});
    }
    return RebuildVisit(stored.Head, steps, stored.Log);
}

}  // namespace vyx::record
