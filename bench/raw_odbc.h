#pragma once
// The baselines' side on a database server: the product's statements as plain unixODBC calls,
// on a connection made from the same connection string (the same driver, the same settings).
// Statements go as text, or prepared once and executed with parameters bound each time; rows
// are fetched one by one into bound columns, every column read; a transaction is auto-commit
// switched off until SQLEndTran.

#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace bench {

class RawOdbc {
  public:
    explicit RawOdbc(const std::string& connectionString);
    ~RawOdbc();
    RawOdbc(const RawOdbc&) = delete;
    RawOdbc& operator=(const RawOdbc&) = delete;

    SQLHDBC Handle() const { return dbc_; }

    // The isolation level (SQL_TXN_...) of later transactions, as the window sets its own.
    void SetIsolation(SQLULEN level);
    // The statements from here to Commit are one transaction.
    void Begin();
    void Commit();

    // Runs a statement that returns no rows; the number of rows it changed. Errors throw.
    int Execute(const std::string& sql);
    // Runs a query and fetches it to the end, reading every column; the number of rows.
    int ReadAll(const std::string& sql);

  private:
    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    SQLHSTMT stmt_ = SQL_NULL_HSTMT;  // for the statements sent as text
};

// A parameter: Null (std::monostate), an integer or a text.
using RawParam = std::variant<std::monostate, int32_t, std::string>;

// A statement prepared once on a connection, run with its `?` bound to `params` in order.
class RawStatement {
  public:
    RawStatement(RawOdbc& db, const std::string& sql);
    ~RawStatement();
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;

    int Execute(const std::vector<RawParam>& params);
    int ReadAll(const std::vector<RawParam>& params);

  private:
    void Run(const std::vector<RawParam>& params);

    SQLHSTMT stmt_ = SQL_NULL_HSTMT;
    std::string sql_;
    std::vector<RawParam> values_;  // bound: they must outlive the execution
    std::vector<SQLLEN> lengths_;
};

}  // namespace bench
