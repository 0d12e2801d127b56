#include "framework/database_version.h"

#include "db/schema.h"
#include "db/schema_version.h"
#include "platform/ado/connection_string.h"
#include "platform/com/com_error.h"

namespace framework {

namespace {

// `text` as one word of a shell command, quoted when the shell would read it otherwise (a path
// with blanks, a connection string's ';').
std::string ShellWord(const std::string& text) {
    if (!text.empty() &&
        text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                               "0123456789/._-+=:,@") == std::string::npos)
        return text;
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::optional<int32_t> SchemaVersionFound(ado::Connection& connection) {
    const int32_t version = db::ReadSchemaVersion(connection);
    if (version == 0 &&
        db::MissingTables(connection).size() == db::SchemaTables(connection.SqlDialect()).size())
        return std::nullopt;
    return version;
}

void RequireSchemaVersion(ado::Connection& connection, const std::string& connectionString) {
    const auto found = SchemaVersionFound(connection);
    // A database without our tables: what it lacks is reported where it is missed.
    if (!found || *found == db::kSchemaVersion) return;
    const bool older = *found < db::kSchemaVersion;
    const std::string label = ado::DatabaseLabel(connectionString);
    throw com::ComError(
        com::err::OperationNotAllowed,
        older ? "Il database %1 ha lo schema versione %2, questo programma usa la versione %3: "
                "aggiornarlo con dravel upgrade-db --database %4"
              : "Il database %1 ha lo schema versione %2, più recente di questo programma "
                "(versione %3): usare una versione più recente del programma")
        .SetValues(
            {label, std::to_string(*found), std::to_string(db::kSchemaVersion), ShellWord(label)});
}

}  // namespace framework
