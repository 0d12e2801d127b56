#pragma once
// What the connection and the recordset need of a database provider. Each provider (sqlite/,
// later ODBC) implements it; nothing of a provider's own API leaks past this header.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ado/types.h"
#include "platform/com/com_error.h"
#include "platform/com/variant.h"

namespace ado::detail {

// A result column as the provider describes it.
struct ColumnInfo {
    std::string name;
    com::VarType type = com::VarType::Empty;  // Empty: no declared type (an expression)
    int32_t definedSize = 0;                  // maximum characters of a text column, 0 unknown
    std::string baseTable;                    // the table the column is read from, "" for none
    std::string baseColumn;                   // the column's name in that table
};

using RowValues = std::vector<com::Variant>;

// A table's or column's name as an SQL identifier, in double quotes (every dialect takes them).
inline std::string Quoted(const std::string& name) {
    std::string q = "\"";
    for (char c : name) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

// An INSERT's parts, identifiers quoted; `columns` and `marks` empty for DEFAULT VALUES.
struct InsertParts {
    std::string table, columns, marks;
};
// The INSERT statement, with `output` before its values (SQL Server's OUTPUT clause) and
// `returning` after them.
std::string InsertSql(const InsertParts& insert, const std::string& output = {},
                      const std::string& returning = {});

struct QueryResult {
    bool hasColumns = false;  // the statement returns rows (possibly none)
    std::vector<ColumnInfo> columns;
    std::vector<RowValues> rows;
    int32_t rowsAffected = 0;
};

class Backend {
  public:
    virtual ~Backend() = default;

    // `target` is the provider's own address of the database (a file for SQLite).
    virtual void Open(const std::string& target, int32_t timeoutSeconds) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Runs `sql` (one or more statements, parameters `?` bound in order). The rows of the last
    // statement that returns columns are materialised.
    virtual QueryResult Query(const std::string& sql, const std::vector<com::Variant>& params) = 0;
    // Runs one statement that returns no rows; the number of rows it changed.
    virtual int32_t Execute(const std::string& sql, const std::vector<com::Variant>& params) = 0;

    // Transactions. `immediate` takes the write lock at once, so a batch that must wait for
    // another writer waits at its start instead of failing half-way.
    virtual void Begin(bool immediate) = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    virtual bool InTransaction() const = 0;

    // A condition, with one parameter, that holds when the column holds the value (Null too).
    virtual std::string SameValue(const std::string& column, const com::Variant& value) const = 0;

    // Whether a failure of this provider is a refused constraint (CHECK, UNIQUE, NOT NULL, ...).
    virtual bool IsConstraintViolation(const com::ComError& e) const = 0;
    // Whether a failure of this provider is another user holding what the statement needed.
    virtual bool IsBusy(const com::ComError& e) const = 0;

    // The key the database generated for the last inserted row.
    virtual int64_t LastInsertKey() const = 0;
    // Inserts a row and returns the key the database generated in `keyColumn` (quoted).
    virtual int64_t InsertGeneratingKey(const InsertParts& insert,
                                        const std::vector<com::Variant>& params,
                                        const std::string& /*keyColumn*/) {
        Execute(InsertSql(insert), params);
        return LastInsertKey();
    }
    // The isolation level of later transactions (an ado::IsolationLevel value). Providers
    // without levels keep their own.
    virtual void SetIsolation(int32_t) {}
    // The primary key columns of a table, in key order (empty when it has none).
    virtual std::vector<std::string> PrimaryKey(const std::string& table) = 0;

    virtual Dialect SqlDialect() const = 0;
};

// The provider a connection string asks for, opened on its database. This is the one place
// that knows the providers.
std::unique_ptr<Backend> OpenProvider(const std::string& connectionString, int32_t timeoutSeconds);

}  // namespace ado::detail
