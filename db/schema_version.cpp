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

void WriteSchemaVersion(ado::Connection& connection, int32_t version) {
    const std::string number = std::to_string(version);
    if (connection.SqlDialect() == ado::Dialect::Sqlite) {
        connection.Execute("PRAGMA user_version = " + number);
        return;
    }
    connection.Execute("DELETE FROM HOST_VERSIONE");
    connection.Execute("INSERT INTO HOST_VERSIONE (VERSIONE_NUMERO) VALUES (" + number + ")");
}

}  // namespace db
