#include "db/schema.h"

#include <chrono>
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
    transaction.Commit();
}

bool HasSchema(ado::Connection& connection) {
    auto found = connection.Execute(
        connection.SqlDialect() == ado::Dialect::Sqlite
            ? "SELECT COUNT(*) FROM sqlite_master WHERE name = 'MGA0_QUINTAB'"
            : "SELECT COUNT(*) FROM information_schema.tables WHERE UPPER(table_name) = "
              "'MGA0_QUINTAB'");
    return found->Fields(0).Value().ToLong() > 0;
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

}  // namespace

bool CreateDatabase(ado::Connection& connection, const std::function<void()>& fill) {
    if (HasSchema(connection)) return false;
    // Before the tables: SQLite changes the journal mode only outside a transaction.
    if (connection.SqlDialect() == ado::Dialect::Sqlite) SetJournalMode(connection);
    ado::Transaction transaction(connection);
    if (HasSchema(connection)) return false;  // made by another program meanwhile
    CreateSchema(connection);
    if (fill) fill();
    transaction.Commit();
    return true;
}

}  // namespace db
