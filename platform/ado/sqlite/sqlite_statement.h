#pragma once
// One prepared SQLite statement, finalised when it goes out of scope. Failures throw error 3000
// (sqlite_error.h).

#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/ado/backend.h"

namespace ado::detail {

// Statements kept prepared for their next run, by their text: a unit of work that sends one
// statement many times (an import's batches of rows) has it parsed once. The least recently used
// goes when the cache is full.
class StatementCache {
  public:
    StatementCache() = default;
    ~StatementCache() { Clear(); }
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The statement kept for `sql`, taken out of the cache; nullptr when none is.
    sqlite3_stmt* Take(const std::string& sql);
    // Keeps a statement that has been reset; finalises the oldest when full.
    void Keep(const std::string& sql, sqlite3_stmt* stmt);
    void Clear();

  private:
    static constexpr size_t kSize = 16;
    std::vector<std::pair<std::string, sqlite3_stmt*>> kept_;  // oldest first
};

class SqliteStatement {
  public:
    // Prepares the first statement of `sql` from `offset`; Empty() when only blanks or comments
    // remain. Rest() is the offset of what follows it. With a cache, a statement that is the
    // whole of `sql` is taken from it and given back to it when done.
    SqliteStatement(sqlite3* db, const std::string& sql, size_t offset = 0,
                    StatementCache* cache = nullptr);
    ~SqliteStatement();
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
    StatementCache* cache_ = nullptr;  // set when the statement goes back to it
};

}  // namespace ado::detail
