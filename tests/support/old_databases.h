#pragma once
// Databases as earlier builds made them, in each shape they had: today's statements with what
// changed since taken out again. Rows in every table, and how a database
// looks (its tables and indexes as defined, its rows, its version) for comparing.

#include <regex>
#include <string>
#include <vector>

#include "db/schema.h"
#include "db/schema_version.h"
#include "platform/ado/transaction.h"
#include "tests/support/rows.h"

namespace testing_support {

// What an earlier build's schema had (SQLite alone has keys and width checks that differ), and
// the version it recorded.
struct OldShape {
    const char* name;
    bool criteriaAutoincrement, matrixAutoincrement, matrixWidthChecks, longCriterionIndex,
        valuesIndex;
    int32_t version = 0;
};
inline const OldShape kOldShapes[] = {
    {"first builds", false, false, false, false, false},
    {"long criterion index", false, false, false, true, false},
    {"index by values", false, false, false, false, true},
    {"criteria key never reused", true, false, false, false, true},
    {"matrix widths checked", true, false, true, false, true},
    {"matrix key never reused", true, true, true, false, true},
    {"long criterion index and index by values", false, true, true, true, true},
    {"version 1", true, true, true, false, true, 1},
};

inline std::vector<std::string> OldSchema(ado::Dialect dialect, const OldShape& shape) {
    auto without = [](std::string sql, const char* pattern) {
        return std::regex_replace(sql, std::regex(pattern), "");
    };
    std::vector<std::string> statements;
    for (std::string sql : db::SchemaStatements(dialect)) {
        const auto is = [&](const char* start) { return sql.starts_with(start); };
        if ((is("CREATE TABLE HOST_VERSIONE") && shape.version == 0) ||
            sql.find(" HOST_STORICO") != std::string::npos ||
            (is("CREATE INDEX MGA1_MATRCPAR_VALORI") && !shape.valuesIndex))
            continue;
        if (is("CREATE INDEX MGA1_MATRCPAR_CRITERIO") && shape.longCriterionIndex)
            sql =
                "CREATE INDEX MGA1_MATRCPAR_CRITERIO ON MGA1_MATRCPAR (MGA1_DITTA_CG18, "
                "MGA1_ID_MGA0, MGA1_VALORE01, MGA1_VALORE02)";
        if ((is("CREATE TABLE MGA0_QUINTAB") && !shape.criteriaAutoincrement) ||
            (is("CREATE TABLE MGA1_MATRCPAR") && !shape.matrixAutoincrement))
            sql = without(sql, " AUTOINCREMENT");
        if (is("CREATE TABLE MGA1_MATRCPAR") && !shape.matrixWidthChecks)
            sql = without(sql, R"( CHECK \(length\(MGA1_\w+\) <= \d+\))");
        statements.push_back(sql);
    }
    return statements;
}

// Companies, media links, criteria with and without priorities and matrix rows, keys with gaps,
// `matrixRows` more matrix rows after them.
inline void FillOldDatabase(ado::Connection& c, int matrixRows = 0) {
    auto keyed = [&](const char* table, const char* key, const std::vector<std::string>& rows) {
        db::InsertWithKeys(c, table, key, [&] {
            for (const auto& row : rows) c.Execute("INSERT INTO " + std::string(table) + row);
        });
    };
    c.Execute("INSERT INTO HOST_DITTE VALUES (1, 'Alfa', 1, 1), (2, 'Beta', NULL, NULL)");
    keyed("HOST_MEDIA", "MEDIA_ID",
          {" VALUES (3, 7, 'Scheda', '/doc/scheda.pdf'), (8, 20, 'Foto', '/doc/foto.png')"});
    keyed("MGA0_QUINTAB", "MGA0_ID",
          {" VALUES (3, 1, 0, 1, 'Primo', 'CODA', NULL), (7, 1, 0, 2, 'Secondo', 'INDC', 3), "
           "(12, 1, 1, 1, 'Reso', 'CODA', NULL), (20, 2, 0, NULL, 'Senza priorità', 'INDC', 8)"});
    const std::string columns =
        " (MGA1_ID, MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_VALORE01, MGA1_VALORE02, MGA1_CONTO) "
        "VALUES ";
    std::vector<std::string> matrix = {columns +
                                       "(4, 1, 3, 'C001', NULL, '60.01'), (9, 1, 7, 'C002', 'X', "
                                       "'60.02'), (15, 2, 20, 'àè', NULL, NULL)"};
    for (int i = 0; i < matrixRows; ++i) {
        if (i % 500 == 0) matrix.push_back(columns);
        matrix.back() += (i % 500 ? ", (" : "(") + std::to_string(100 + i) + ", 1, 3, 'V" +
                         std::to_string(i) + "', NULL, '70')";
    }
    keyed("MGA1_MATRCPAR", "MGA1_ID", matrix);
}

// Makes the shape's tables and rows on a database that holds none.
inline void MakeOldDatabase(ado::Connection& c, const OldShape& shape, int matrixRows = 0) {
    ado::Transaction transaction(c);
    for (const auto& sql : OldSchema(c.SqlDialect(), shape)) c.Execute(sql);
    FillOldDatabase(c, matrixRows);
    if (shape.version > 0) db::WriteSchemaVersion(c, shape.version);
    transaction.Commit();
}

// The tables and indexes as the database defines them, and its version.
inline std::string Shape(ado::Connection& c) {
    if (c.SqlDialect() == ado::Dialect::Sqlite)
        return Rows(c,
                    "SELECT name, sql FROM sqlite_master WHERE name NOT LIKE 'sqlite%' ORDER "
                    "BY name") +
               "\nversion " + std::to_string(db::ReadSchemaVersion(c));
    return Rows(c,
                "SELECT table_name FROM information_schema.tables WHERE table_schema = "
                "current_schema() ORDER BY 1") +
           "\n" +
           Rows(c,
                "SELECT indexname, indexdef FROM pg_indexes WHERE schemaname = "
                "current_schema() ORDER BY 1") +
           "\nversion " + std::to_string(db::ReadSchemaVersion(c));
}

// Every row of the module's tables, by key.
inline std::string Content(ado::Connection& c) {
    std::string content;
    for (const char* table : {"HOST_DITTE", "HOST_MEDIA", "MGA0_QUINTAB", "MGA1_MATRCPAR"})
        content += Rows(c, std::string("SELECT * FROM ") + table + " ORDER BY 1") + "\n";
    return content;
}

}  // namespace testing_support
