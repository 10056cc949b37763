#pragma once
// The record's schema and its forward migrations. A database says its version in
// `PRAGMA user_version`: 0 is an empty file, each later version one step of SQL
// after the one before. A newer version than this program knows is refused.

namespace vyx::record {

class Connection;

/// The version this program writes.
int LatestSchemaVersion();

/// A database written by a newer program, with the version it holds.
struct NewerSchema {
    int Found = 0;
};

/// The version the database holds: its first read, which refuses a file that
/// is no database.
int SchemaVersionOf(Connection& connection);

/// A database of another program's, left alone.
struct ForeignDatabase {};

/// Whether the database is the record's: marked as such, or still empty.
bool IsRecordDatabase(Connection& connection);

/// Brings the database up to `target` (at most LatestSchemaVersion()), each step
/// in its own transaction with its version number and the record's mark. Returns the version found;
/// throws NewerSchema when that is above LatestSchemaVersion(), SqlFault when
/// SQLite refuses.
int MigrateSchema(Connection& connection, int target);

}  // namespace vyx::record
