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
// Version 2: the history of changes, HOST_STORICO and its indexes.

#include "db/schema.h"
#include "db/schema_steps.h"

namespace db {

namespace {

bool OfHistory(const std::string& sql) {
    return sql.find(" HOST_STORICO") != std::string::npos;
}

// The current schema's statements in `dialect` that make the history's table and indexes
// (`history`), or the others.
std::vector<std::string> Statements(ado::Dialect dialect, bool history) {
    std::vector<std::string> statements;
    for (const auto& sql : SchemaStatements(dialect))
        if (OfHistory(sql) == history) statements.push_back(sql);
    return statements;
}

void Version1(ado::Connection& connection) {
    std::vector<std::string> statements;
    switch (connection.SqlDialect()) {
        case ado::Dialect::Sqlite:
            // Version 1's shape is the one SqliteSchema() makes without version 2's table; a
            // later version that changes those statements keeps a copy of version 1's here.
            ReshapeSqlite(connection, Statements(ado::Dialect::Sqlite, false));
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

// Each statement made to do nothing where its table or index is already there.
void Version2(ado::Connection& connection) {
    const auto dialect = connection.SqlDialect();
    auto statements = Statements(dialect, true);
    if (dialect == ado::Dialect::Sqlite) return ReshapeSqlite(connection, statements);
    for (auto sql : statements) {
        const bool table = sql.starts_with("CREATE TABLE ");
        const size_t name = std::string_view("CREATE INDEX ").size();
        if (dialect == ado::Dialect::Postgresql)
            sql.insert(name, "IF NOT EXISTS ");
        else if (table)
            sql = "IF OBJECT_ID(N'HOST_STORICO', N'U') IS NULL " + sql;
        else
            sql = "IF INDEXPROPERTY(OBJECT_ID(N'HOST_STORICO'), N'" +
                  sql.substr(name, sql.find(' ', name) - name) + "', 'IndexID') IS NULL " + sql;
        connection.Execute(sql);
    }
}

}  // namespace

const std::vector<SchemaStep>& SchemaSteps() {
    static const std::vector<SchemaStep> steps = {{1, Version1}, {2, Version2}};
    return steps;
}

}  // namespace db
