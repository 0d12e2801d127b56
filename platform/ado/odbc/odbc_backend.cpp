#include "platform/ado/odbc/odbc_backend.h"

#include "platform/ado/connection_string.h"
#include "platform/ado/odbc/odbc_error.h"
#include "platform/ado/odbc/odbc_handle.h"
#include "platform/ado/odbc/odbc_statement.h"
#include "platform/ado/types.h"
#include "platform/ado/watcher.h"

namespace ado::detail {

namespace {

// The key of the advisory lock that immediate transactions take on PostgreSQL ("drvl").
constexpr int64_t kWriteLock = 0x6472766C;

}  // namespace

struct OdbcBackend::Handles {
    OdbcHandle env, dbc;
    bool connected = false;
};

OdbcBackend::OdbcBackend() : handles_(std::make_unique<Handles>()) {}

OdbcBackend::~OdbcBackend() {
    Close();
}

void* OdbcBackend::Dbc() const {
    if (!handles_->connected) throw com::ComError(com::err::ObjectClosed);
    return handles_->dbc.Get();
}

// A broken connection is still open to its user: its next use connects again.
bool OdbcBackend::IsOpen() const {
    return handles_->connected || lost_;
}

namespace {

// The server is gone or ended the session (shut down, crashed, the session was terminated).
bool LostConnection(const com::ComError& e) {
    const std::string state = SqlState(e);
    return state.rfind("08", 0) == 0 || state == "57P01" || state == "57P02" || state == "57P03";
}

}  // namespace

// A server restarted, or a network that dropped the connection, must not leave the window
// failing until the program is restarted: the next statement connects again, with the same
// string and isolation level. Not inside a transaction that was open when the connection went:
// the server dropped its work, and a statement run now on a new connection would be committed on
// its own, without the work before it. Such a transaction fails until it is rolled back.
void OdbcBackend::Usable() {
    if (!lost_) return;
    if (inTransaction_) throw *lost_;
    try {
        const auto isolation = isolation_;
        Open(target_, timeoutSeconds_);
        if (isolation) SetIsolation(*isolation);
    } catch (const com::ComError& e) {
        lost_ = e;  // still broken: the next use tries again
        throw;
    }
}

// The driver does not always say that the connection went: psqlODBC reports a failure of its
// own savepoint around a statement as HY000. The connection's state tells, and the user is told
// what happened in the same words as for any lost connection.
template <class F>
auto OdbcBackend::OnConnection(F&& work) {
    Usable();
    try {
        return std::forward<F>(work)();
    } catch (const com::ComError& e) {
        if (LostConnection(e)) {
            lost_ = e;
            throw;
        }
        SQLUINTEGER dead = SQL_CD_FALSE;
        if (!handles_->connected ||
            !SQL_SUCCEEDED(SQLGetConnectAttr(handles_->dbc.Get(), SQL_ATTR_CONNECTION_DEAD, &dead,
                                             0, nullptr)) ||
            dead != SQL_CD_TRUE)
            throw;
        lost_ = ConnectionLost(e);
        throw *lost_;
    }
}

void OdbcBackend::Open(const std::string& target, int32_t timeoutSeconds) {
    Close();
    target_ = target;
    timeoutSeconds_ = timeoutSeconds;
    Handles& h = *handles_;
    h.env = OdbcHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    SQLSetEnvAttr(h.env.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                  0);
    h.dbc = OdbcHandle(SQL_HANDLE_DBC, h.env.Get());
    auto seconds = reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(std::max(timeoutSeconds, 1)));
    SQLSetConnectAttr(h.dbc.Get(), SQL_ATTR_LOGIN_TIMEOUT, seconds, 0);
    std::u16string text = Utf16(OdbcConnectTarget(target));
    SQLRETURN rc = SQLDriverConnectW(h.dbc.Get(), nullptr, reinterpret_cast<SQLWCHAR*>(text.data()),
                                     static_cast<SQLSMALLINT>(text.size()), nullptr, 0, nullptr,
                                     SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        // The connection string is not repeated: the error says what failed, not with what.
        com::ComError error = OdbcError(SQL_HANDLE_DBC, h.dbc.Get(), "Connecting through ODBC");
        h.dbc.Reset();
        h.env.Reset();
        throw error;
    }
    h.connected = true;
    lost_.reset();
    SQLWCHAR name[128] = {};
    SQLSMALLINT bytes = 0;
    SQLGetInfoW(h.dbc.Get(), SQL_DBMS_NAME, name, sizeof name, &bytes);
    const std::string dbms = Utf8(name, std::min<size_t>(static_cast<size_t>(bytes) / 2, 127));
    if (dbms.find("PostgreSQL") != std::string::npos) {
        dialect_ = Dialect::Postgresql;
        // A lock held by another user (the immediate transactions' advisory lock, a row) is
        // waited for as long as SQLite waits for a busy database, then refused as busy; PostgreSQL
        // alone would wait for ever behind an editor whose program hangs.
        Execute("SET lock_timeout = " + std::to_string(std::max(timeoutSeconds, 1) * 1000), {});
    } else if (dbms.find("SQL Server") != std::string::npos) {
        dialect_ = Dialect::Tsql;
    } else {
        Close();
        throw com::ComError(com::err::Database,
                            "The database server \"" + dbms +
                                "\" is not supported: only PostgreSQL and SQL Server are");
    }
}

void OdbcBackend::Close() {
    Handles& h = *handles_;
    if (h.connected) {
        if (inTransaction_) SQLEndTran(SQL_HANDLE_DBC, h.dbc.Get(), SQL_ROLLBACK);
        // The kept statements go with the session, which the disconnect ends and frees: freed one
        // by one before it, each would cost a round trip to drop its plan on the server.
        for (auto& kept : prepared_)
            if (kept.second) kept.second->Abandon();
        SQLDisconnect(h.dbc.Get());
    }
    prepared_.clear();
    h.connected = false;
    inTransaction_ = false;
    nested_ = 0;
    lost_.reset();
    isolation_.reset();
    primaryKeys_.clear();
    h.dbc.Reset();
    h.env.Reset();
}

QueryResult OdbcBackend::Query(const std::string& sql, const std::vector<com::Variant>& params) {
    return OnConnection([&] { return Run(sql, params); });
}

namespace {

// How many statements a connection keeps (or has seen once): the window's own, the recorder's
// and a command's fit with room to spare; past that, one goes for each new text.
constexpr size_t kKeptStatements = 64;

// A statement worth keeping prepared: one statement that reads or changes rows. PostgreSQL
// parses and plans a statement sent as text every time; kept, a statement the window sends at
// each save and move (a row written back, a value read) is only bound and run, one parse fewer
// per statement on the server. Not on SQL Server, where drivers prepare through stored
// procedures of their own.
bool Keepable(Dialect dialect, const std::string& sql) {
    if (dialect != Dialect::Postgresql || sql.find(';') != std::string::npos) return false;
    const std::string word = LeadingKeyword(sql);
    return word == "SELECT" || word == "INSERT" || word == "UPDATE" || word == "DELETE";
}

}  // namespace

// A statement is prepared at its second run: one sent once (a window opening, a command) is
// spared the round trip in which the driver has a prepared statement's parameters described. A
// statement that failed is not kept: the driver's state of it after a failure (a plan a change of
// table made stale) is not to be run again.
template <class F>
auto OdbcBackend::Running(const std::string& sql, const std::vector<com::Variant>& params,
                          F&& read) {
    auto asText = [&] {
        OdbcStatement stmt(Dbc());
        stmt.Execute(sql, params);
        return read(stmt);
    };
    if (!Keepable(dialect_, sql)) {
        // A table changed under a kept statement would fail it ("cached plan must not change
        // result type"): a change of tables through this connection lets them all go.
        const std::string word = LeadingKeyword(sql);
        if (word != "SET" && word != "SAVEPOINT" && word != "RELEASE" && word != "ROLLBACK")
            prepared_.clear();
        return asText();
    }
    auto kept = prepared_.find(sql);
    if (kept == prepared_.end()) {
        if (prepared_.size() >= kKeptStatements) prepared_.erase(prepared_.begin());
        prepared_.emplace(sql, nullptr);  // seen once
        return asText();
    }
    if (!kept->second) {
        auto stmt = std::make_unique<OdbcStatement>(Dbc());
        stmt->Prepare(sql);
        kept->second = std::move(stmt);
    }
    try {
        kept->second->Run(params);
        return read(*kept->second);
    } catch (const com::ComError& e) {
        prepared_.erase(sql);
        // Another user's change of the table fails a kept query whose columns it changed ("cached
        // plan must not change result type"): outside a transaction it runs again.
        if (SqlState(e) == "0A000" && !inTransaction_) return Running(sql, params, read);
        throw;
    }
}

QueryResult OdbcBackend::Run(const std::string& sql, const std::vector<com::Variant>& params) {
    return Running(sql, params, [](OdbcStatement& stmt) {
        QueryResult result;
        do {
            if (stmt.HasColumns()) {
                result.hasColumns = true;
                result.columns = stmt.Columns();
                result.rows.clear();
                stmt.FetchAll(result.rows);
            } else if (int32_t n = stmt.RowsAffected(); n > 0) {
                result.rowsAffected = n;
            }
        } while (stmt.NextResult());
        return result;
    });
}

int32_t OdbcBackend::Execute(const std::string& sql, const std::vector<com::Variant>& params) {
    return OnConnection([&] {
        return Running(sql, params, [](OdbcStatement& stmt) {
            return stmt.HasColumns() ? 0 : stmt.RowsAffected();
        });
    });
}

// ODBC runs each statement in its own transaction until auto-commit is switched off. A
// transaction begun inside another one is a savepoint, so a batch sent while the caller holds a
// transaction still succeeds or fails as a whole.
void OdbcBackend::Begin(bool immediate) {
    if (inTransaction_) {
        Execute(dialect_ == Dialect::Tsql ? "SAVE TRANSACTION ado_nested" : "SAVEPOINT ado_nested",
                {});
        ++nested_;
        return;
    }
    OnConnection([&] {
        if (!SQL_SUCCEEDED(SQLSetConnectAttr(Dbc(), SQL_ATTR_AUTOCOMMIT,
                                             reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)))
            throw OdbcError(SQL_HANDLE_DBC, Dbc(), "Beginning a transaction");
    });
    inTransaction_ = true;
    nested_ = 0;
    // PostgreSQL has no lock on writing to the whole database, as SQLite's BEGIN IMMEDIATE
    // takes: the immediate transactions on one database take one advisory lock, held until they
    // end. Without it two users saving in one posting type at once each counted and renumbered
    // the type without the other's row, and left two criteria with one priority, or a gap.
    if (immediate && dialect_ == Dialect::Postgresql) {
        try {
            // Sent as text, never kept prepared: the driver then sends its BEGIN in the same
            // round trip.
            OnConnection([&] {
                OdbcStatement(Dbc()).Execute(
                    "SELECT pg_advisory_xact_lock(" + std::to_string(kWriteLock) + ")", {});
            });
        } catch (...) {
            EndTransaction(false);
            throw;
        }
    }
}

void OdbcBackend::Commit() {
    if (lost_ && inTransaction_) throw *lost_;  // the work went with the connection
    if (nested_ > 0) {
        if (dialect_ != Dialect::Tsql) Execute("RELEASE SAVEPOINT ado_nested", {});
        --nested_;
        return;
    }
    EndTransaction(true);
}

// On a lost connection the server has rolled back already; a statement sent now would fail and
// hide the failure that ended the work.
void OdbcBackend::Rollback() {
    if (!inTransaction_) return;
    if (lost_) {
        if (nested_ > 0)
            --nested_;
        else
            inTransaction_ = false;
        return;
    }
    if (nested_ > 0) {
        Execute(dialect_ == Dialect::Tsql ? "ROLLBACK TRANSACTION ado_nested"
                                          : "ROLLBACK TO SAVEPOINT ado_nested",
                {});
        if (dialect_ != Dialect::Tsql) Execute("RELEASE SAVEPOINT ado_nested", {});
        --nested_;
        return;
    }
    EndTransaction(false);
}

void OdbcBackend::EndTransaction(bool commit) {
    SQLHDBC dbc = Dbc();
    SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc, commit ? SQL_COMMIT : SQL_ROLLBACK);
    std::optional<com::ComError> error;
    if (!SQL_SUCCEEDED(rc))
        error = OdbcError(SQL_HANDLE_DBC, dbc, commit ? "Committing" : "Rolling back");
    inTransaction_ = false;
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    if (!error) return;
    if (LostConnection(*error)) lost_ = error;
    throw *error;
}

void OdbcBackend::SetIsolation(int32_t level) {
    isolation_ = level;
    SQLULEN odbc = level == adXactReadUncommitted  ? SQL_TXN_READ_UNCOMMITTED
                   : level == adXactRepeatableRead ? SQL_TXN_REPEATABLE_READ
                   : level == adXactSerializable   ? SQL_TXN_SERIALIZABLE
                                                   : SQL_TXN_READ_COMMITTED;
    OnConnection([&] {
        if (!SQL_SUCCEEDED(SQLSetConnectAttr(Dbc(), SQL_ATTR_TXN_ISOLATION,
                                             reinterpret_cast<SQLPOINTER>(odbc), 0)))
            throw OdbcError(SQL_HANDLE_DBC, Dbc(), "Setting the isolation level");
    });
}

std::string OdbcBackend::SameValue(const std::string& column, const com::Variant&) const {
    if (dialect_ == Dialect::Tsql) return "EXISTS (SELECT " + column + " INTERSECT SELECT ?)";
    return column + " IS NOT DISTINCT FROM ?";
}

bool OdbcBackend::IsConstraintViolation(const com::ComError& e) const {
    return SqlState(e).rfind("23", 0) == 0;
}

// A serialization failure or deadlock (class 40), a lock not granted, a timeout.
bool OdbcBackend::IsBusy(const com::ComError& e) const {
    const std::string state = SqlState(e);
    return state.rfind("40", 0) == 0 || state == "55P03" || state == "HYT00";
}

int64_t OdbcBackend::LastInsertKey() const {
    auto self = const_cast<OdbcBackend*>(this);
    QueryResult r = self->Query(
        dialect_ == Dialect::Tsql ? "SELECT CAST(@@IDENTITY AS BIGINT)" : "SELECT lastval()", {});
    if (r.rows.empty() || r.rows[0].empty() || r.rows[0][0].IsNull())
        throw com::ComError(com::err::Database, "The database generated no key");
    return static_cast<int64_t>(r.rows[0][0].ToDouble());
}

// The key comes back with the insert itself: RETURNING on PostgreSQL, OUTPUT INSERTED on SQL
// Server (a trigger's own insert cannot be mistaken for it).
int64_t OdbcBackend::InsertGeneratingKey(const InsertParts& insert,
                                         const std::vector<com::Variant>& params,
                                         const std::string& keyColumn) {
    const bool tsql = dialect_ == Dialect::Tsql;
    QueryResult r = Query(InsertSql(insert, tsql ? "OUTPUT INSERTED." + keyColumn : "",
                                    tsql ? "" : "RETURNING " + keyColumn),
                          params);
    if (r.rows.empty() || r.rows[0].empty() || r.rows[0][0].IsNull())
        throw com::ComError(com::err::Database, "The database generated no key");
    return static_cast<int64_t>(r.rows[0][0].ToDouble());
}

std::vector<std::string> OdbcBackend::PrimaryKey(const std::string& table) {
    if (auto known = primaryKeys_.find(table); known != primaryKeys_.end()) return known->second;
    // Through the catalogue rather than SQLPrimaryKeys: one statement, any driver. PostgreSQL's
    // own catalogue answers at once; its information schema is views over it that take
    // milliseconds to plan, many more on a new connection.
    QueryResult found =
        Query(dialect_ == Dialect::Postgresql
                  ? "SELECT a.attname FROM pg_catalog.pg_index i "
                    "JOIN pg_catalog.pg_class c ON c.oid = i.indrelid "
                    "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid "
                    "AND a.attnum = ANY (i.indkey) "
                    "WHERE i.indisprimary AND LOWER(c.relname) = LOWER(?) "
                    "ORDER BY array_position(i.indkey::int2[], a.attnum)"
                  : "SELECT k.COLUMN_NAME FROM INFORMATION_SCHEMA.TABLE_CONSTRAINTS t "
                    "JOIN INFORMATION_SCHEMA.KEY_COLUMN_USAGE k "
                    "ON k.CONSTRAINT_NAME = t.CONSTRAINT_NAME AND k.TABLE_NAME = t.TABLE_NAME "
                    "WHERE t.CONSTRAINT_TYPE = 'PRIMARY KEY' AND LOWER(t.TABLE_NAME) = LOWER(?) "
                    "ORDER BY k.ORDINAL_POSITION",
              {com::Variant(table)});
    std::vector<std::string> key;
    for (const auto& row : found.rows) key.push_back(row[0].ToText());
    primaryKeys_[table] = key;
    return key;
}

}  // namespace ado::detail
