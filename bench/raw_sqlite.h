#pragma once
// The baselines' side: the same statements straight through the SQLite C interface, on a
// connection set up as the data layer sets up its own (WAL, foreign keys, busy timeout).

#include <sqlite3.h>

#include <string>
#include <vector>

namespace bench {

class RawDatabase {
  public:
    explicit RawDatabase(const std::string& file);
    ~RawDatabase();
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;

    sqlite3* Handle() const { return db_; }

    // Runs a statement that returns no rows; the number of rows it changed. Errors throw.
    int Execute(const std::string& sql);
    // Prepares a statement, steps it to the end reading every column of every row (as a
    // recordset reads them into its cache) and finalises it; the number of rows.
    int ReadAll(const std::string& sql);
    // Every row of a query, each column as text.
    std::vector<std::vector<std::string>> Rows(const std::string& sql);

  private:
    sqlite3* db_ = nullptr;
};

// The host's read of company 1, as the raw baselines of an open send it.
inline constexpr const char* kCompanyQuery =
    "SELECT DITTA_CODICE, DITTA_RAGSOC, DITTA_PARAMTIPICONTO, DITTA_ANNIDACLASSI"
    " FROM HOST_DITTE WHERE DITTA_CODICE = 1";

// Throws with SQLite's message unless `rc` is one of the two codes a step may end with.
void Check(sqlite3* db, int rc);

}  // namespace bench
