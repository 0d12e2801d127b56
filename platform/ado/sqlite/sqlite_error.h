#pragma once
// SQLite's failures as the data layer reports them: error 3000 with a description in the
// user's words, chosen by SQLite's result code; SQLite's extended code, its message and the
// statement as the native detail, for the log.

#include <string>

#include "platform/com/com_error.h"

struct sqlite3;

namespace ado::detail {

// The failure SQLite reports on `db` (`code` when there is no handle), with `context` (what was
// done: a statement, the file opened) in the detail.
com::ComError SqliteError(sqlite3* db, int code, const std::string& context);
[[noreturn]] void ThrowSqliteError(sqlite3* db, const std::string& sql);

}  // namespace ado::detail
