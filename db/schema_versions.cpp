// The schema's versions, oldest first, and the step that brings the one before each up to it, in
// each dialect. A new version adds its step here and raises kSchemaVersion (schema_version.h);
// schema_<dialect>.cpp create the newest version directly.
//
// Version 0: the module's tables with no version recorded, as the builds before versions made
// them, in one of several shapes:
//   - SQLite: the criteria key (MGA0_ID) and the matrix key (MGA1_ID) each with or without
//     AUTOINCREMENT, the matrix's text columns with or without the CHECK of their widths, the
//     criterion index MGA1_MATRCPAR_CRITERIO on (company, criterion) or on (company, criterion,
//     value 1, value 2), with or without the index by values MGA1_MATRCPAR_VALORI;
//   - servers: no HOST_VERSIONE, either form of the criterion index, with or without the index by
//     values.
// Version 1: the version recorded (HOST_VERSIONE on servers); on SQLite both keys AUTOINCREMENT,
// so that a deleted row's key is never given to a new one, and every text column's width checked;
// the criterion index on (company, criterion) and the index by values.

#include "db/schema.h"
#include "db/schema_steps.h"

namespace db {

namespace {

void Version1(ado::Connection& connection) {
    std::vector<std::string> statements;
    switch (connection.SqlDialect()) {
        case ado::Dialect::Sqlite:
            // Version 1's shape is the one SqliteSchema() makes; a later version that changes
            // those statements keeps a copy of version 1's here.
            ReshapeSqlite(connection, SchemaStatements(ado::Dialect::Sqlite));
            return;
        case ado::Dialect::Postgresql:
            statements = {
                "CREATE TABLE IF NOT EXISTS HOST_VERSIONE (\n    VERSIONE_NUMERO INTEGER NOT "
                "NULL\n)",
                "DROP INDEX IF EXISTS MGA1_MATRCPAR_CRITERIO",
                "DROP INDEX IF EXISTS MGA1_MATRCPAR_VALORI",
            };
            break;
        case ado::Dialect::Tsql:
            statements = {
                "IF OBJECT_ID(N'HOST_VERSIONE', N'U') IS NULL CREATE TABLE HOST_VERSIONE (\n    "
                "VERSIONE_NUMERO INTEGER NOT NULL\n)",
                "DROP INDEX IF EXISTS MGA1_MATRCPAR_CRITERIO ON MGA1_MATRCPAR",
                "DROP INDEX IF EXISTS MGA1_MATRCPAR_VALORI ON MGA1_MATRCPAR",
            };
            break;
    }
    statements.push_back(
        "CREATE INDEX MGA1_MATRCPAR_CRITERIO ON MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0)");
    statements.push_back(
        "CREATE INDEX MGA1_MATRCPAR_VALORI ON MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_VALORE01, "
        "MGA1_VALORE02, MGA1_VALORE03)");
    for (const auto& sql : statements) connection.Execute(sql);
}

}  // namespace

const std::vector<SchemaStep>& SchemaSteps() {
    static const std::vector<SchemaStep> steps = {{1, Version1}};
    return steps;
}

}  // namespace db
