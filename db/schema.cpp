#include "db/schema.h"

#include "platform/ado/recordset.h"
#include "platform/ado/transaction.h"
#include "platform/com/com_error.h"

namespace db {

const std::vector<std::string>& SqliteSchema();
const char* SqliteJournalMode();

const std::vector<std::string>& SchemaStatements(ado::Dialect dialect) {
    switch (dialect) {
        case ado::Dialect::Sqlite:
            return SqliteSchema();
        case ado::Dialect::Tsql:
        case ado::Dialect::Postgresql:
            break;
    }
    throw com::ComError(com::err::InvalidCall,
                        "The schema is written for SQLite only so far: this database's dialect "
                        "has no schema yet");
}

void CreateSchema(ado::Connection& connection) {
    const auto& statements = SchemaStatements(connection.SqlDialect());
    ado::Transaction transaction(connection);
    for (const auto& sql : statements) connection.Execute(sql);
    transaction.Commit();
    // After the commit: SQLite changes the journal mode only outside a transaction.
    if (connection.SqlDialect() == ado::Dialect::Sqlite) connection.Execute(SqliteJournalMode());
}

}  // namespace db
