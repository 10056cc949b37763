#include "SqliteHandles.h"

#include <thread>

#include <algorithm>

namespace vyx::record {

namespace {

[[noreturn]] void Throw(sqlite3* db, int rc) {
    // The connection's words when its last error is rc's; SQLite's general ones
    // otherwise.
    if (db != nullptr && (sqlite3_extended_errcode(db) & 0xff) == (rc & 0xff)) {
        throw SqlFault{sqlite3_extended_errcode(db), sqlite3_errmsg(db)};
    }
    throw SqlFault{rc, sqlite3_errstr(rc)};
}

}  // namespace

Statement::Statement(sqlite3* db, std::string_view sql) {
    const int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        Throw(db, rc);
    }
}

Statement::~Statement() {
    sqlite3_finalize(stmt);
}

Query::Query(Statement& statement) : stmt(statement.Handle()) {}

Query::~Query() {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
}

void Query::Check(int rc) const {
    if (rc != SQLITE_OK) {
        Throw(sqlite3_db_handle(stmt), rc);
    }
}

Query& Query::Bind(std::string_view text) {
    // SQLite keeps its own copy: the text may go before the statement runs.
    Check(
        sqlite3_bind_text64(stmt, next++, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

Query& Query::Bind(std::int64_t value) {
    Check(sqlite3_bind_int64(stmt, next++, value));
    return *this;
}

Query& Query::BindNull() {
    Check(sqlite3_bind_null(stmt, next++));
    return *this;
}

bool Query::Step() {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    Throw(sqlite3_db_handle(stmt), rc);
}

void Query::Run() {
    while (Step()) {
    }
}

std::string Query::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    const int size = sqlite3_column_bytes(stmt, column);
    return text != nullptr ? std::string(text, static_cast<std::size_t>(size)) : std::string();
}

std::int64_t Query::Int(int column) const {
    return sqlite3_column_int64(stmt, column);
}

bool Query::IsNull(int column) const {
    return sqlite3_column_type(stmt, column) == SQLITE_NULL;
}

Connection::Connection(const std::string& path, int flags) {
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        SqlFault fault{db != nullptr ? sqlite3_extended_errcode(db) : rc,
                       db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc)};
        sqlite3_close_v2(db);
        throw fault;
    }
    sqlite3_extended_result_codes(db, 1);
}

void Connection::WaitWhileBusy(std::chrono::milliseconds limit) {
    busyLimit = limit;
    Check(sqlite3_busy_handler(db, &Connection::Busy, this));
}

int Connection::Busy(void* self, int count) {
    auto& connection = *static_cast<Connection*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (count == 0) {
        connection.busySince = now;
    }
    if (now - connection.busySince >= connection.busyLimit) {
        return 0;
    }
    // 50 µs, doubling up to 2 ms: a step of another writer takes well under one.
    const auto pause = std::chrono::microseconds(50) * (1 << std::min(count, 5));
    std::this_thread::sleep_for(
        std::min<std::chrono::microseconds>(pause, std::chrono::milliseconds(2)));
    return 1;
}

Connection::~Connection() {
    // Statements first: a connection closes only once they are finalized.
    statements.clear();
    sqlite3_close_v2(db);
}

Statement& Connection::Prepared(std::string_view sql) {
    auto found = statements.find(sql);
    if (found == statements.end()) {
        found = statements.emplace(std::string(sql), std::make_unique<Statement>(db, sql)).first;
    }
    return *found->second;
}

void Connection::Exec(const char* sql) {
    Check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

void Connection::Check(int rc) const {
    if (rc != SQLITE_OK) {
        Throw(db, rc);
    }
}

Transaction::Transaction(Connection& connection, Kind kind) : connection(connection) {
    connection.Exec(kind == Kind::Write ? "BEGIN IMMEDIATE" : "BEGIN");
}

Transaction::~Transaction() {
    if (open) {
        // Nothing to do about a failed rollback: SQLite then rolls back itself.
        sqlite3_exec(connection.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Transaction::Commit() {
    connection.Exec("COMMIT");
    open = false;
}

}  // namespace vyx::record
