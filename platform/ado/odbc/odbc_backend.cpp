#include "platform/ado/odbc/odbc_backend.h"

#include "platform/ado/odbc/odbc_error.h"
#include "platform/ado/odbc/odbc_handle.h"
#include "platform/ado/odbc/odbc_statement.h"
#include "platform/ado/types.h"

namespace ado::detail {

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

bool OdbcBackend::IsOpen() const {
    return handles_->connected;
}

void OdbcBackend::Open(const std::string& target, int32_t timeoutSeconds) {
    Close();
    Handles& h = *handles_;
    h.env = OdbcHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    SQLSetEnvAttr(h.env.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                  0);
    h.dbc = OdbcHandle(SQL_HANDLE_DBC, h.env.Get());
    auto seconds = reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(std::max(timeoutSeconds, 1)));
    SQLSetConnectAttr(h.dbc.Get(), SQL_ATTR_LOGIN_TIMEOUT, seconds, 0);
    std::u16string text = Utf16(target);
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
    SQLWCHAR name[128] = {};
    SQLSMALLINT bytes = 0;
    SQLGetInfoW(h.dbc.Get(), SQL_DBMS_NAME, name, sizeof name, &bytes);
    const std::string dbms = Utf8(name, std::min<size_t>(static_cast<size_t>(bytes) / 2, 127));
    if (dbms.find("PostgreSQL") != std::string::npos) {
        dialect_ = Dialect::Postgresql;
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
        SQLDisconnect(h.dbc.Get());
    }
    h.connected = false;
    inTransaction_ = false;
    nested_ = 0;
    primaryKeys_.clear();
    h.dbc.Reset();
    h.env.Reset();
}

QueryResult OdbcBackend::Query(const std::string& sql, const std::vector<com::Variant>& params) {
    OdbcStatement stmt(Dbc());
    stmt.Execute(sql, params);
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
}

int32_t OdbcBackend::Execute(const std::string& sql, const std::vector<com::Variant>& params) {
    OdbcStatement stmt(Dbc());
    stmt.Execute(sql, params);
    return stmt.HasColumns() ? 0 : stmt.RowsAffected();
}

// ODBC runs each statement in its own transaction until auto-commit is switched off. A
// transaction begun inside another one is a savepoint, so a batch sent while the caller holds a
// transaction still succeeds or fails as a whole.
void OdbcBackend::Begin(bool) {
    if (inTransaction_) {
        Execute(dialect_ == Dialect::Tsql ? "SAVE TRANSACTION ado_nested" : "SAVEPOINT ado_nested",
                {});
        ++nested_;
        return;
    }
    if (!SQL_SUCCEEDED(SQLSetConnectAttr(Dbc(), SQL_ATTR_AUTOCOMMIT,
                                         reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)))
        throw OdbcError(SQL_HANDLE_DBC, Dbc(), "Beginning a transaction");
    inTransaction_ = true;
    nested_ = 0;
}

void OdbcBackend::Commit() {
    if (nested_ > 0) {
        if (dialect_ != Dialect::Tsql) Execute("RELEASE SAVEPOINT ado_nested", {});
        --nested_;
        return;
    }
    EndTransaction(true);
}

void OdbcBackend::Rollback() {
    if (!inTransaction_) return;
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
    com::ComError error;
    bool failed = !SQL_SUCCEEDED(rc);
    if (failed) error = OdbcError(SQL_HANDLE_DBC, dbc, commit ? "Committing" : "Rolling back");
    inTransaction_ = false;
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    if (failed) throw error;
}

void OdbcBackend::SetIsolation(int32_t level) {
    SQLULEN odbc = level == adXactReadUncommitted  ? SQL_TXN_READ_UNCOMMITTED
                   : level == adXactRepeatableRead ? SQL_TXN_REPEATABLE_READ
                   : level == adXactSerializable   ? SQL_TXN_SERIALIZABLE
                                                   : SQL_TXN_READ_COMMITTED;
    if (!SQL_SUCCEEDED(SQLSetConnectAttr(Dbc(), SQL_ATTR_TXN_ISOLATION,
                                         reinterpret_cast<SQLPOINTER>(odbc), 0)))
        throw OdbcError(SQL_HANDLE_DBC, Dbc(), "Setting the isolation level");
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
    OdbcStatement stmt(Dbc());
    // Through the catalogue rather than SQLPrimaryKeys: one statement, any driver. PostgreSQL's
    // own catalogue answers at once; its information schema is views over it that take
    // milliseconds to plan, many more on a new connection.
    stmt.Execute(dialect_ == Dialect::Postgresql
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
    std::vector<RowValues> rows;
    stmt.FetchAll(rows);
    std::vector<std::string> key;
    for (const auto& row : rows) key.push_back(row[0].ToText());
    primaryKeys_[table] = key;
    return key;
}

}  // namespace ado::detail
