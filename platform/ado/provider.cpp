// The choice of provider, and the INSERT statement that every provider builds on.

#include "platform/ado/backend.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/odbc/odbc_backend.h"
#include "platform/ado/sqlite/sqlite_backend.h"
#include "platform/com/com_error.h"

namespace ado::detail {

std::unique_ptr<Backend> OpenProvider(const std::string& connectionString, int32_t timeoutSeconds) {
    ConnectionSettings settings = ParseConnectionString(connectionString);
    std::unique_ptr<Backend> backend;
    if (settings.IsSqlite()) {
        backend = std::make_unique<SqliteBackend>();
        backend->Open(settings.Get("data source"), timeoutSeconds);
        return backend;
    }
    if (settings.IsOdbc()) {
        backend = std::make_unique<OdbcBackend>();
        backend->Open(connectionString, timeoutSeconds);
        return backend;
    }
    // The string is not repeated in the message: it may carry a password.
    throw com::ComError(com::err::Database,
                        "The connection string names no provider: \"Provider=SQLite;Data "
                        "Source=PATH\", or an ODBC driver (\"Driver={...};...\" or \"DSN=...\")");
}

std::string InsertSql(const InsertParts& insert, const std::string& output,
                      const std::string& returning) {
    std::string sql = "INSERT INTO " + insert.table;
    if (!insert.columns.empty()) sql += " (" + insert.columns + ")";
    if (!output.empty()) sql += " " + output;
    sql += insert.columns.empty() ? " DEFAULT VALUES" : " VALUES (" + insert.marks + ")";
    if (!returning.empty()) sql += " " + returning;
    return sql;
}

}  // namespace ado::detail
