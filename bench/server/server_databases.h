#pragma once
// Databases of generated criteria on this program's throw-away PostgreSQL server (started at
// the first call, stopped when the program ends): one per size, filled as the SQLite ones are,
// and copies of it for the benchmarks that write.

#include <string>

namespace bench {

// The connection string of the database whose company 1 holds `criteria` criteria.
std::string ServerCriteriaDatabase(int criteria);

// A new copy of that database under its own name: every writer starts from the same rows.
std::string ServerCriteriaDatabaseCopy(int criteria, const std::string& name);

// The connection string of a database filled by FillMatrixRows (matrix_rows_database.h).
std::string ServerMatrixRowsDatabase(int rows);
// A new copy of it under its own name.
std::string ServerMatrixRowsDatabaseCopy(int rows, const std::string& name);

}  // namespace bench
