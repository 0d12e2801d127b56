#pragma once
// Connection strings, the one place that reads and writes them: "key=value;..." as ODBC writes
// it, "Provider=SQLite;Data Source=PATH" for the embedded provider, "Driver=..." or "DSN=..."
// for ODBC.

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ado {

// Parsed "key=value;..." connection string: keys lower-cased, values with blanks trimmed unless
// written in braces ("Data Source={/x/a;b.db}", "}}" inside for one '}'). A brace that is never
// closed, or text after the closing one, is an error.
struct ConnectionSettings {
    std::vector<std::pair<std::string, std::string>> entries;
    // The value of a key ("" when absent); `key` in lower case.
    std::string Get(const std::string& key) const;
    // Asks for the embedded provider ("Provider=SQLite", any letter case).
    bool IsSqlite() const;
    // Names an ODBC driver or data source.
    bool IsOdbc() const { return !Get("driver").empty() || !Get("dsn").empty(); }
};
ConnectionSettings ParseConnectionString(const std::string& connectionString);

// A value as a connection string writes it: in braces when the parser would otherwise split or
// trim it, so that parsing gives it back as it was.
std::string QuoteConnectionValue(const std::string& value);

// The connection string of an SQLite database file (the path in braces when it needs them).
std::string SqliteConnectionString(const std::filesystem::path& file);

// The database file of an SQLite connection string (empty for other providers).
std::filesystem::path SqliteFile(const std::string& connectionString);

// Whether a text is a connection string rather than a file's path: it starts with "Provider=",
// "Driver=" or "DSN=" (any letter case).
bool IsConnectionString(std::string_view text);

// The SQLite file of `connectionString`, refused ("Il database %1 non esiste.", error 53) when it
// does not exist: opening would make it, empty. Empty for other providers.
std::filesystem::path ExistingSqliteFile(const std::string& connectionString);

// The connection string the ODBC layer connects with. The PostgreSQL driver by default wraps every
// statement of a transaction in a savepoint of its own, a round trip each, to undo just that
// statement when it fails; the data layer never goes on in a transaction after a failed statement
// (it rolls the transaction back, or its own savepoint), so that driver gets "Protocol=7.4-0" (the
// program rolls back), unless the string sets a protocol itself. Other strings are left as given.
std::string OdbcConnectTarget(const std::string& connectionString);

// The database as a user is shown it: the SQLite file, or the connection string without its
// password.
std::string DatabaseLabel(const std::string& connectionString);

}  // namespace ado
