#include "Schema.h"

#include <cstdint>
#include <iterator>
#include <string>

#include "SqliteHandles.h"

namespace vyx::record {

namespace {

// Each version's SQL, from version 1 on: a new version is one more entry here,
// written against the one before. Entries never change once released.
constexpr const char* Steps[] = {
    // 1: visits, their steps and their log lines. started_unix is started_at as
    // a UTC instant (the text keeps the workshop's offset), for ordering and
    // date filters; NULL when the text is no date. Steps and lines name their
    // visit by its row number, not its UUID, and are kept in their key's order:
    // a third of the file's size at a hundred thousand visits.
    R"sql(
CREATE TABLE visits (
    id INTEGER PRIMARY KEY,
    uuid TEXT NOT NULL UNIQUE,
    door TEXT NOT NULL,
    tool_version TEXT NOT NULL,
    host TEXT NOT NULL,
    started_at TEXT NOT NULL,
    started_unix INTEGER,
    ended_at TEXT NOT NULL,
    device_id TEXT NOT NULL,
    device_version_before TEXT NOT NULL,
    device_version_after TEXT NOT NULL,
    technician TEXT NOT NULL,
    plate TEXT NOT NULL,
    vin TEXT NOT NULL,
    work_order TEXT NOT NULL,
    note TEXT NOT NULL,
    result TEXT NOT NULL,
    cut TEXT NOT NULL
) STRICT;
CREATE INDEX visits_by_start ON visits (started_unix);
CREATE INDEX visits_by_device ON visits (device_id, started_unix);
CREATE INDEX visits_by_plate ON visits (plate, started_unix);
CREATE INDEX visits_by_result ON visits (result, started_unix);
CREATE TABLE steps (
    visit INTEGER NOT NULL REFERENCES visits (id) ON DELETE CASCADE,
    seq INTEGER NOT NULL,
    ended_at TEXT NOT NULL,
    kind TEXT NOT NULL,
    body TEXT NOT NULL,
    PRIMARY KEY (visit, seq)
) STRICT, WITHOUT ROWID;
CREATE TABLE log_lines (
    visit INTEGER NOT NULL REFERENCES visits (id) ON DELETE CASCADE,
    seq INTEGER NOT NULL,
    text TEXT NOT NULL,
    PRIMARY KEY (visit, seq)
) STRICT, WITHOUT ROWID;
)sql",
};

// The record's mark in the file's header ("VyxR"), which tells its database from
// any other program's.
constexpr const char* MarkPragma = "PRAGMA application_id = 1450801234";
constexpr std::int64_t Mark = 1450801234;

}  // namespace

bool IsRecordDatabase(Connection& connection) {
    // Both looks in one read: another program may create the record's tables,
    // with its mark, between two.
    Transaction read(connection, Transaction::Kind::Read);
    std::int64_t found = 0;
    {
        Query mark(connection.Prepared("PRAGMA application_id"));
        found = mark.Step() ? mark.Int(0) : 0;
    }
    if (found == Mark) {
        return true;
    }
    Query objects(connection.Prepared("SELECT count(*) FROM sqlite_schema"));
    return found == 0 && objects.Step() && objects.Int(0) == 0;
}

int SchemaVersionOf(Connection& connection) {
    Query query(connection.Prepared("PRAGMA user_version"));
    return query.Step() ? static_cast<int>(query.Int(0)) : 0;
}

int LatestSchemaVersion() {
    return static_cast<int>(std::size(Steps));
}

int MigrateSchema(Connection& connection, int target) {
    const int found = SchemaVersionOf(connection);
    if (found > LatestSchemaVersion()) {
        throw NewerSchema{found};
    }
    for (int version = found + 1; version <= target && version <= LatestSchemaVersion();
         ++version) {
        Transaction transaction(connection);
        // Another program may have migrated while this one waited for the lock.
        const int now = SchemaVersionOf(connection);
        if (now >= version) {
            if (now > LatestSchemaVersion()) {
                throw NewerSchema{now};
            }
            version = now;
            continue;
        }
        connection.Exec(Steps[version - 1]);
        connection.Exec(MarkPragma);
        // A number of ours: the pragma takes no bound value.
        connection.Exec(("PRAGMA user_version = " + std::to_string(version)).c_str());
        transaction.Commit();
    }
    return found;
}

}  // namespace vyx::record
