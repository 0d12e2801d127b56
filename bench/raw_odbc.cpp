#include "bench/raw_odbc.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

#include "platform/ado/connection_string.h"

namespace bench {

namespace {

// Throws with the handle's first diagnostic unless `rc` is a success.
void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const std::string& what) {
    if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
    SQLCHAR state[6] = {}, message[512] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length);
    throw std::runtime_error("ODBC " + std::string(reinterpret_cast<char*>(state)) + ": " +
                             reinterpret_cast<char*>(message) + " (" + what + ")");
}

// Binds every column of the executed statement (integers as 64-bit, the rest as text), fetches
// every row into them and closes the cursor; the number of rows.
int FetchAll(SQLHSTMT stmt, const std::string& sql) {
    SQLSMALLINT count = 0;
    Check(SQLNumResultCols(stmt, &count), SQL_HANDLE_STMT, stmt, sql);
    struct Column {
        bool integer;
        int64_t number = 0;
        std::vector<char> text;
        SQLLEN length = 0;
    };
    std::vector<Column> columns(static_cast<size_t>(count));
    for (SQLUSMALLINT c = 1; c <= count; ++c) {
        SQLSMALLINT type = 0, scale = 0, nullable = 0, nameLength = 0;
        SQLULEN size = 0;
        SQLCHAR name[128];
        Check(SQLDescribeCol(stmt, c, name, sizeof name, &nameLength, &type, &size, &scale,
                             &nullable),
              SQL_HANDLE_STMT, stmt, sql);
        Column& column = columns[c - 1];
        column.integer = type == SQL_SMALLINT || type == SQL_INTEGER || type == SQL_BIGINT;
        if (column.integer) {
            Check(SQLBindCol(stmt, c, SQL_C_SBIGINT, &column.number, 0, &column.length),
                  SQL_HANDLE_STMT, stmt, sql);
        } else {
            column.text.resize(size + 1);
            Check(SQLBindCol(stmt, c, SQL_C_CHAR, column.text.data(),
                             static_cast<SQLLEN>(column.text.size()), &column.length),
                  SQL_HANDLE_STMT, stmt, sql);
        }
    }
    int rows = 0;
    int64_t sum = 0;
    SQLRETURN rc;
    while ((rc = SQLFetch(stmt)) != SQL_NO_DATA) {
        Check(rc, SQL_HANDLE_STMT, stmt, sql);
        ++rows;
        for (const Column& column : columns) {
            if (column.length == SQL_NULL_DATA) continue;
            sum += column.integer ? column.number : column.text[0] + column.length;
        }
    }
    benchmark::DoNotOptimize(sum);
    SQLFreeStmt(stmt, SQL_CLOSE);
    SQLFreeStmt(stmt, SQL_UNBIND);
    return rows;
}

int RowCount(SQLHSTMT stmt, const std::string& sql) {
    SQLLEN count = 0;
    Check(SQLRowCount(stmt, &count), SQL_HANDLE_STMT, stmt, sql);
    SQLFreeStmt(stmt, SQL_CLOSE);
    return static_cast<int>(count);
}

SQLCHAR* Text(const std::string& sql) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str()));
}

}  // namespace

RawOdbc::RawOdbc(const std::string& connectionString) {
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
    SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
    // With the driver's options as the product connects with them.
    const std::string target = ado::OdbcConnectTarget(connectionString);
    SQLRETURN rc = SQLDriverConnect(dbc_, nullptr, Text(target), SQL_NTS, nullptr, 0, nullptr,
                                    SQL_DRIVER_NOPROMPT);
    try {
        Check(rc, SQL_HANDLE_DBC, dbc_, "connecting");
        Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt_), SQL_HANDLE_DBC, dbc_, "statement");
    } catch (...) {
        if (SQL_SUCCEEDED(rc)) SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
        throw;
    }
}

RawOdbc::~RawOdbc() {
    SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
    SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    SQLFreeHandle(SQL_HANDLE_ENV, env_);
}

void RawOdbc::SetIsolation(SQLULEN level) {
    Check(SQLSetConnectAttr(dbc_, SQL_ATTR_TXN_ISOLATION, reinterpret_cast<SQLPOINTER>(level), 0),
          SQL_HANDLE_DBC, dbc_, "isolation level");
}

void RawOdbc::Begin() {
    Check(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT,
                            reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
          SQL_HANDLE_DBC, dbc_, "auto-commit off");
}

void RawOdbc::Commit() {
    Check(SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_COMMIT), SQL_HANDLE_DBC, dbc_, "commit");
    Check(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT,
                            reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0),
          SQL_HANDLE_DBC, dbc_, "auto-commit on");
}

int RawOdbc::Execute(const std::string& sql) {
    Check(SQLExecDirect(stmt_, Text(sql), SQL_NTS), SQL_HANDLE_STMT, stmt_, sql);
    return RowCount(stmt_, sql);
}

int RawOdbc::ReadAll(const std::string& sql) {
    Check(SQLExecDirect(stmt_, Text(sql), SQL_NTS), SQL_HANDLE_STMT, stmt_, sql);
    return FetchAll(stmt_, sql);
}

RawStatement::RawStatement(RawOdbc& db, const std::string& sql) : sql_(sql) {
    Check(SQLAllocHandle(SQL_HANDLE_STMT, db.Handle(), &stmt_), SQL_HANDLE_DBC, db.Handle(), sql);
    Check(SQLPrepare(stmt_, Text(sql_), SQL_NTS), SQL_HANDLE_STMT, stmt_, sql);
}

RawStatement::~RawStatement() {
    SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
}

void RawStatement::Run(const std::vector<RawParam>& params) {
    values_ = params;
    lengths_.assign(params.size(), 0);
    for (size_t i = 0; i < values_.size(); ++i) {
        auto number = static_cast<SQLUSMALLINT>(i + 1);
        SQLRETURN rc;
        if (std::holds_alternative<std::monostate>(values_[i])) {
            lengths_[i] = SQL_NULL_DATA;
            rc = SQLBindParameter(stmt_, number, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0,
                                  nullptr, 0, &lengths_[i]);
        } else if (auto* integer = std::get_if<int32_t>(&values_[i])) {
            rc = SQLBindParameter(stmt_, number, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0,
                                  integer, 0, &lengths_[i]);
        } else {
            auto& text = std::get<std::string>(values_[i]);
            lengths_[i] = static_cast<SQLLEN>(text.size());
            rc = SQLBindParameter(stmt_, number, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                  text.size(), 0, text.data(), lengths_[i], &lengths_[i]);
        }
        Check(rc, SQL_HANDLE_STMT, stmt_, sql_);
    }
    Check(SQLExecute(stmt_), SQL_HANDLE_STMT, stmt_, sql_);
}

int RawStatement::Execute(const std::vector<RawParam>& params) {
    Run(params);
    return RowCount(stmt_, sql_);
}

int RawStatement::ReadAll(const std::vector<RawParam>& params) {
    Run(params);
    return FetchAll(stmt_, sql_);
}

}  // namespace bench
