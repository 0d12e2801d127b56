#include "db/schema_version.h"

#include "platform/ado/recordset.h"

namespace db {

namespace {

bool HasVersionTable(ado::Connection& connection) {
    auto count = connection.Execute(
        "SELECT COUNT(*) FROM information_schema.tables WHERE UPPER(table_name) = "
        "'HOST_VERSIONE'");
    return count->Fields(0).Value().ToLong() > 0;
}

}  // namespace

int32_t ReadSchemaVersion(ado::Connection& connection) {
    if (connection.SqlDialect() == ado::Dialect::Sqlite)
        return connection.Execute("PRAGMA user_version")->Fields(0).Value().ToLong();
    if (!HasVersionTable(connection)) return 0;
    auto rs = connection.Execute("SELECT VERSIONE_NUMERO FROM HOST_VERSIONE");
    return rs->Eof() ? 0 : rs->Fields(0).Value().ToLong();
}

std::vector<std::string> VersionStatements(ado::Dialect dialect, int32_t version) {
    const std::string number = std::to_string(version);
    if (dialect == ado::Dialect::Sqlite) return {"PRAGMA user_version = " + number};
    return {"DELETE FROM HOST_VERSIONE",
            "INSERT INTO HOST_VERSIONE (VERSIONE_NUMERO) VALUES (" + number + ")"};
}

void WriteSchemaVersion(ado::Connection& connection, int32_t version) {
    for (const auto& sql : VersionStatements(connection.SqlDialect(), version))
        connection.Execute(sql);
}

}  // namespace db
