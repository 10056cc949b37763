#pragma once
// A thin layer over SQLite's C API for the record's store: one owner for the
// connection and for each statement, statements prepared once and reused, and
// every value bound, so no device or typed text ever becomes SQL text. A refusal
// of SQLite's is thrown as SqlFault and turned into the store's one line at its
// API; nothing outside the store sees these types.

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace vyx::record {

/// What SQLite refused: its extended result code and its own words.
struct SqlFault {
    int Code = SQLITE_ERROR;
    std::string Message;

    /// The primary result code (SQLITE_BUSY for SQLITE_BUSY_SNAPSHOT, ...).
    int Primary() const { return Code & 0xff; }
};

/// One prepared statement, finalized with its owner.
class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* Handle() const { return stmt; }

private:
    sqlite3_stmt* stmt = nullptr;
};

/// One use of a prepared statement: values bound in order, rows read, and the
/// statement reset and its values cleared when the use ends, however it ends.
class Query {
public:
    explicit Query(Statement& statement);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Query& Bind(std::string_view text);
    Query& Bind(std::int64_t value);
    Query& BindNull();
    /// Steps once: true with a row to read, false when done.
    bool Step();
    /// Steps to the end, for statements that return no rows.
    void Run();
    std::string Text(int column) const;
    std::int64_t Int(int column) const;
    bool IsNull(int column) const;

private:
    void Check(int rc) const;

    sqlite3_stmt* stmt;
    int next = 1;
};

/// The connection, closed with its statements.
class Connection {
public:
    /// Opens `path` with SQLite's `flags`; throws SqlFault.
    Connection(const std::string& path, int flags);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* Handle() const { return db; }
    /// The statement for `sql`, prepared on first use and kept.
    Statement& Prepared(std::string_view sql);
    /// Runs fixed SQL text of ours (schema, pragmas): never anything with a value.
    void Exec(const char* sql);
    /// Throws SqlFault unless `rc` is SQLITE_OK.
    void Check(int rc) const;
    /// A statement that meets another program's lock waits up to `limit` for
    /// it, looking again every fraction of a millisecond at first: SQLite's own
    /// wait sleeps whole milliseconds and longer, which several devices
    /// recording at once would pay on every step.
    void WaitWhileBusy(std::chrono::milliseconds limit);

private:
    static int Busy(void* self, int count);

    sqlite3* db = nullptr;
    std::chrono::milliseconds busyLimit{0};
    std::chrono::steady_clock::time_point busySince{};
    std::map<std::string, std::unique_ptr<Statement>, std::less<>> statements;
};

/// A transaction, rolled back unless committed. A write takes the write lock at
/// its start (so a busy database waits there, not half-way); a read sees one
/// state of the database throughout.
class Transaction {
public:
    enum class Kind { Write, Read };
    explicit Transaction(Connection& connection, Kind kind = Kind::Write);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void Commit();

private:
    Connection& connection;
    bool open = true;
};

}  // namespace vyx::record
