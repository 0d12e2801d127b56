#pragma once
// SQLite's failures as the data layer reports them: error 3000 with a description in the
// user's words, chosen by SQLite's result code; SQLite's extended code, its message and the
// statement as the native detail, for the log.

#include <string>

struct sqlite3;

namespace ado::detail {

[[noreturn]] void ThrowSqliteError(sqlite3* db, const std::string& sql);

}  // namespace ado::detail
