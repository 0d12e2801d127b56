#include "platform/ado/sqlite/sqlite_backend.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "platform/ado/sqlite/sqlite_error.h"
#include "platform/ado/sqlite/sqlite_statement.h"
#include "platform/com/com_error.h"

namespace ado::detail {

SqliteBackend::~SqliteBackend() {
    Close();
}

sqlite3* SqliteBackend::Db() const {
    if (!db_) throw com::ComError(com::err::ObjectClosed);
    return db_;
}

namespace {

// A file URI naming `path` exactly: every byte but the unreserved ones is escaped, so that '?',
// '#' and '%' in a file name stay part of it.
std::string FileUri(const std::filesystem::path& path) {
    constexpr std::string_view kPlain = "/-._~";
    constexpr const char* kHex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : path.string()) {
        if (std::isalnum(c) || kPlain.find(static_cast<char>(c)) != std::string_view::npos) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

bool Writable(const std::filesystem::path& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

// The database header's write version (byte 18) is 2 in WAL mode.
bool InWalMode(const std::filesystem::path& file) {
    char header[19] = {};
    std::ifstream in(file, std::ios::binary);
    return in.read(header, sizeof header) && header[18] == 2;
}

}  // namespace

// A database that this user cannot write is opened read-only, so that it can still be viewed;
// writing then fails with SQLite's "attempt to write a readonly database". Opening never changes
// the journal mode: it is stored in the file, and the file's owner chose it.
void SqliteBackend::Open(const std::string& target, int32_t timeoutSeconds) {
    Close();
    if (target.empty())
        throw com::ComError(com::err::Database,
                            "The SQLite connection string names no database (Data Source=PATH)");
    std::filesystem::path file = std::filesystem::absolute(target);
    std::string uri = FileUri(file);
    // A connection is only ever used by the thread that opened it: SQLite's own lock around
    // every call (a third of reading a row's columns) buys nothing.
    int flags = SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    if (!Writable(file.parent_path())) {
        // No file can be created here. A rollback-journal database is read as usual, with its
        // locks. A WAL database needs its index (-shm): SQLite reads one that exists without
        // writing it; without one, nobody has the database open, and it is read as immutable,
        // the file alone without locks.
        flags |= SQLITE_OPEN_READONLY;
        std::error_code ec;
        if (InWalMode(file) && !std::filesystem::exists(file.string() + "-shm", ec))
            uri += "?immutable=1";
    } else if (std::error_code ec; std::filesystem::exists(file, ec) && !Writable(file)) {
        flags |= SQLITE_OPEN_READONLY;
    } else {
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    }
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(uri.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        com::ComError error = SqliteError(db, rc, "Opening " + file.string());
        sqlite3_close(db);
        throw error;
    }
    db_ = db;
    try {
        // Two editors on one file wait for each other instead of failing at once.
        sqlite3_busy_timeout(db_, std::max(timeoutSeconds, 1) * 1000);
        Execute("PRAGMA foreign_keys=ON", {});
    } catch (...) {
        Close();
        throw;
    }
}

void SqliteBackend::Close() {
    statements_.Clear();
    if (db_) sqlite3_close_v2(std::exchange(db_, nullptr));
}

QueryResult SqliteBackend::Query(const std::string& sql, const std::vector<com::Variant>& params) {
    sqlite3* db = Db();
    QueryResult result;
    size_t offset = 0;
    size_t param = 0;
    while (offset < sql.size()) {
        SqliteStatement stmt(db, sql, offset, &statements_);
        offset = stmt.Rest();
        if (stmt.Empty()) continue;
        param = stmt.Bind(params, param);
        int before = sqlite3_total_changes(db);
        // The columns are read after the first step: a kept statement whose table changed since
        // is prepared again by it, and `*` then stands for the columns the table has now.
        bool more = stmt.Step();
        bool returnsRows = stmt.ColumnCount() > 0;
        if (returnsRows) {
            result.hasColumns = true;
            result.columns = stmt.Columns();
            result.rows.clear();
        }
        for (; more; more = stmt.Step()) {
            result.rows.emplace_back();
            stmt.ReadRow(result.rows.back());
        }
        if (!returnsRows && sqlite3_total_changes(db) != before)
            result.rowsAffected = sqlite3_changes(db);
    }
    return result;
}

int32_t SqliteBackend::Execute(const std::string& sql, const std::vector<com::Variant>& params) {
    sqlite3* db = Db();
    SqliteStatement stmt(db, sql);
    if (stmt.Empty()) return 0;
    stmt.Bind(params, 0);
    while (stmt.Step()) {
    }
    return stmt.ColumnCount() > 0 ? 0 : sqlite3_changes(db);
}

// A transaction begun inside another one is a savepoint, so a batch sent while the caller holds
// a transaction still succeeds or fails as a whole.
void SqliteBackend::Begin(bool immediate) {
    if (InTransaction()) {
        Execute("SAVEPOINT ado_nested", {});
        ++nested_;
    } else {
        Execute(immediate ? "BEGIN IMMEDIATE" : "BEGIN", {});
        nested_ = 0;
    }
}

void SqliteBackend::Commit() {
    if (nested_ > 0) {
        Execute("RELEASE ado_nested", {});
        --nested_;
    } else {
        Execute("COMMIT", {});
    }
}

void SqliteBackend::Rollback() {
    if (!InTransaction()) return;  // SQLite already rolled back (e.g. after a full disk)
    if (nested_ > 0) {
        Execute("ROLLBACK TO ado_nested", {});
        Execute("RELEASE ado_nested", {});
        --nested_;
    } else {
        Execute("ROLLBACK", {});
    }
}

bool SqliteBackend::InTransaction() const {
    return db_ && !sqlite3_get_autocommit(db_);
}

// A text was read from a TEXT or a BLOB value (bytes another program stored): compared as text,
// it matches either.
std::string SqliteBackend::SameValue(const std::string& column, const com::Variant& value) const {
    if (value.Type() == com::VarType::String) return "CAST(" + column + " AS TEXT) IS ?";
    return column + " IS ?";
}

bool SqliteBackend::IsConstraintViolation(const com::ComError& e) const {
    return e.Source() == "SQLite" && (e.NativeCode() & 0xFF) == SQLITE_CONSTRAINT;
}

bool SqliteBackend::IsBusy(const com::ComError& e) const {
    const int code = e.NativeCode() & 0xFF;
    return e.Source() == "SQLite" && (code == SQLITE_BUSY || code == SQLITE_LOCKED);
}

int64_t SqliteBackend::LastInsertKey() const {
    return sqlite3_last_insert_rowid(Db());
}

std::vector<std::string> SqliteBackend::PrimaryKey(const std::string& table) {
    // The pragma itself, not the pragma_table_info() table: it compiles without the query
    // planner, in a third of the time, and every window's open asks it.
    QueryResult info = Query("PRAGMA table_info(" + Quoted(table) + ")", {});
    std::vector<std::pair<int32_t, std::string>> columns;  // (place in the key, name)
    for (const auto& row : info.rows)
        if (int32_t pk = row[5].ToLong(); pk > 0) columns.emplace_back(pk, row[1].ToText());
    std::sort(columns.begin(), columns.end());
    std::vector<std::string> key;
    for (auto& column : columns) key.push_back(std::move(column.second));
    return key;
}

}  // namespace ado::detail
