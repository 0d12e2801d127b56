#pragma once
// One prepared SQLite statement, finalised when it goes out of scope. Failures throw error 3000
// (sqlite_error.h).

#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/ado/backend.h"

namespace ado::detail {

class SqliteStatement {
  public:
    // Prepares the first statement of `sql` from `offset`; Empty() when only blanks or comments
    // remain. Rest() is the offset of what follows it.
    SqliteStatement(sqlite3* db, const std::string& sql, size_t offset = 0);
    ~SqliteStatement() { sqlite3_finalize(stmt_); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool Empty() const { return stmt_ == nullptr; }
    size_t Rest() const { return rest_; }
    int ColumnCount() const { return sqlite3_column_count(stmt_); }

    // Binds this statement's parameters from params[first]; returns the index after the last used.
    size_t Bind(const std::vector<com::Variant>& params, size_t first);
    // True for a row, false when the statement is done.
    bool Step();

    std::vector<ColumnInfo> Columns() const;
    void ReadRow(RowValues& into) const;

  private:
    sqlite3* db_;
    const std::string& sql_;
    sqlite3_stmt* stmt_ = nullptr;
    size_t rest_ = 0;
};

}  // namespace ado::detail
