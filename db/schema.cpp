#include "db/schema.h"

#include "db/schema_version.h"

#include <chrono>
#include <optional>
#include <thread>

#include "platform/ado/backend.h"
#include "platform/ado/recordset.h"
#include "platform/ado/transaction.h"
#include "platform/com/com_error.h"
#include "platform/text/text.h"

namespace db {

const std::vector<std::string>& SqliteSchema();
const char* SqliteJournalMode();
const std::vector<std::string>& PostgresqlSchema();
const std::vector<std::string>& TsqlSchema();

const std::vector<std::string>& SchemaStatements(ado::Dialect dialect) {
    switch (dialect) {
        case ado::Dialect::Sqlite:
            return SqliteSchema();
        case ado::Dialect::Tsql:
            return TsqlSchema();
        case ado::Dialect::Postgresql:
            return PostgresqlSchema();
    }
    throw com::ComError(com::err::InvalidCall, "This database's dialect has no schema");
}

void InsertWithKeys(ado::Connection& connection, const std::string& table, const std::string& key,
                    const std::function<void()>& inserts) {
    switch (connection.SqlDialect()) {
        case ado::Dialect::Sqlite:
            inserts();
            return;
        case ado::Dialect::Tsql:
            // The identity moves past the largest key inserted by itself.
            connection.Execute("SET IDENTITY_INSERT " + table + " ON");
            inserts();
            connection.Execute("SET IDENTITY_INSERT " + table + " OFF");
            return;
        case ado::Dialect::Postgresql:
            inserts();
            connection.Execute("SELECT setval(pg_get_serial_sequence('" + txt::Lower(table) +
                               "', '" + txt::Lower(key) + "'), (SELECT MAX(" + key + ") FROM " +
                               table + "))");
            return;
    }
}

void CreateSchema(ado::Connection& connection) {
    const auto& statements = SchemaStatements(connection.SqlDialect());
    ado::Transaction transaction(connection);
    for (const auto& sql : statements) connection.Execute(sql);
    WriteSchemaVersion(connection, kSchemaVersion);
    transaction.Commit();
}

std::vector<std::string> SchemaTables(ado::Dialect dialect) {
    static constexpr std::string_view kCreate = "CREATE TABLE ";
    std::vector<std::string> tables;
    for (const auto& sql : SchemaStatements(dialect))
        if (sql.starts_with(kCreate))
            tables.push_back(
                sql.substr(kCreate.size(), sql.find(' ', kCreate.size()) - kCreate.size()));
    return tables;
}

std::vector<std::string> MissingTables(ado::Connection& connection) {
    auto tables = SchemaTables(connection.SqlDialect());
    const std::string names = "'" + txt::Join(tables, "', '") + "'";
    auto found = connection.Execute(
        (connection.SqlDialect() == ado::Dialect::Sqlite
             ? "SELECT UPPER(name) FROM sqlite_master WHERE type = 'table' AND UPPER(name) IN ("
             : "SELECT UPPER(table_name) FROM information_schema.tables WHERE UPPER(table_name) "
               "IN (") +
        names + ")");
    for (; !found->Eof(); found->MoveNext()) std::erase(tables, found->Fields(0).Value().ToText());
    return tables;
}

std::vector<std::string> MissingOriginalTables(ado::Connection& connection) {
    auto missing = MissingTables(connection);
    std::erase(missing, "HOST_VERSIONE");
    std::erase(missing, "HOST_STORICO");
    return missing;
}

namespace {

// The journal mode changes only while no other program reads the file, and SQLite says "busy" at
// once instead of waiting (two programs that both wait could wait for ever). Programs started
// together all open the new file: each tries again for a while.
void SetJournalMode(ado::Connection& connection) {
    using namespace std::chrono_literals;
    for (auto deadline = std::chrono::steady_clock::now() + 10s;;) {
        try {
            connection.Execute(SqliteJournalMode());
            return;
        } catch (const com::ComError& e) {
            if (!connection.Backend().IsBusy(e) || std::chrono::steady_clock::now() > deadline)
                throw;
            std::this_thread::sleep_for(20ms);
        }
    }
}

// Complete or Partial when the database holds all or some of the tables; nothing when none. A
// database of an older version lacks only the tables of later ones: it is complete.
std::optional<Creation> Found(ado::Connection& connection) {
    if (MissingTables(connection).size() == SchemaTables(connection.SqlDialect()).size())
        return std::nullopt;
    return MissingOriginalTables(connection).empty() ? Creation::Complete : Creation::Partial;
}

}  // namespace

Creation CreateDatabase(ado::Connection& connection, const std::function<void()>& fill) {
    if (auto found = Found(connection)) return *found;
    // Before the tables: SQLite changes the journal mode only outside a transaction.
    if (connection.SqlDialect() == ado::Dialect::Sqlite) SetJournalMode(connection);
    ado::Transaction transaction(connection);
    if (auto found = Found(connection)) return *found;  // made by another program meanwhile
    CreateSchema(connection);
    if (fill) fill();
    transaction.Commit();
    return Creation::Created;
}

}  // namespace db
