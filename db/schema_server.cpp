// The schema on the database servers, PostgreSQL and SQL Server: the same tables as on SQLite,
// with the servers' own generated keys. Names are written unquoted, so that the module's
// statements find them whatever case the server folds them to. Deliberately written out apart
// from SQLite's statements, so that each file reads as the SQL `dravel schema` prints; SQLite's
// differ by their CHECK clauses and keys.

#include <string>
#include <vector>

namespace db {

namespace {

// A dialect's declaration of a text column of at most `chars` characters (code points, as
// SQLite's length() and PostgreSQL's VARCHAR(n) count them), with its NULL or NOT NULL.
using TextColumn = std::string (*)(const std::string& column, int chars, const char* null);

std::string PostgresqlText(const std::string&, int chars, const char* null) {
    return "VARCHAR(" + std::to_string(chars) + ") " + null;
}

// SQL Server counts neither kind of width in characters: NVARCHAR(n) holds n UTF-16 units,
// where a character outside the Basic Multilingual Plane (an emoji) takes two, and VARCHAR(n)
// under a UTF-8 collation (2019 on) holds n bytes, up to four a character. So the column holds
// twice the units any text of `chars` characters needs, and a CHECK holds it to `chars`
// characters: LEN counts a surrogate pair as one character under a supplementary-character
// (_SC) collation, and the '.' appended keeps the trailing blanks LEN would leave out. The driver
// gives such a column's width in units, so a text of more than `chars` characters but not twice
// as many gets past the data layer's own check of widths and is refused by this CHECK instead,
// as a broken constraint (the window's fields, which count characters, refuse it first). The
// collation is case-sensitive, as SQLite and PostgreSQL compare texts: resolve's queries and
// check's comparisons then agree on which matrix values are the same.
std::string TsqlText(const std::string& column, int chars, const char* null) {
    return "NVARCHAR(" + std::to_string(2 * chars) + ") COLLATE Latin1_General_100_CS_AS_SC " +
           null + " CHECK (LEN(" + column + " + N'.') <= " + std::to_string(chars + 1) + ")";
}

// `key` is the dialect's generated integer key column, `longKey` the same of 64 bits, `longText`
// its text column without a bound.
std::vector<std::string> ServerSchema(const std::string& key, const std::string& longKey,
                                      TextColumn text, const std::string& longText) {
    auto column = [&](const std::string& name, int chars, const char* null = "NULL") {
        return "    " + name + " " + text(name, chars, null);
    };
    std::string values;
    for (const char* n : {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"})
        values += column(std::string("MGA1_VALORE") + n, 40) + ",\n";
    return {
        // The schema's version (schema_version.h): one row.
        "CREATE TABLE HOST_VERSIONE (\n    VERSIONE_NUMERO INTEGER NOT NULL\n)",
        "CREATE TABLE HOST_DITTE (\n    DITTA_CODICE INTEGER NOT NULL PRIMARY KEY,\n" +
            column("DITTA_RAGSOC", 80, "NOT NULL") +
            ",\n    DITTA_PARAMTIPICONTO INTEGER NULL,\n    DITTA_ANNIDACLASSI INTEGER NULL\n)",
        "CREATE TABLE HOST_MEDIA (\n    MEDIA_ID " + key +
            ",\n    MEDIA_IDENT INTEGER NOT NULL,\n" + column("MEDIA_DESCR", 255, "NOT NULL") +
            ",\n" + column("MEDIA_PATH", 1024, "NOT NULL") + "\n)",
        "CREATE INDEX HOST_MEDIA_IDENT ON HOST_MEDIA (MEDIA_IDENT)",
        "CREATE TABLE MGA0_QUINTAB (\n    MGA0_ID " + key +
            " CHECK (MGA0_ID BETWEEN 1 AND 99999),\n    MGA0_DITTA_CG18 INTEGER NOT NULL,\n"
            "    MGA0_FLGRESO SMALLINT NOT NULL,\n    MGA0_INDPRIOR INTEGER NULL,\n" +
            column("MGA0_DESCR", 255) + ",\n" + column("MGA0_STRUTTURACAMPI", 40) +
            ",\n    MG99_IDMEDIA_CG99 INTEGER NULL\n)",
        "CREATE INDEX MGA0_QUINTAB_ORDINE ON MGA0_QUINTAB (MGA0_DITTA_CG18, MGA0_FLGRESO, "
        "MGA0_INDPRIOR)",
        "CREATE TABLE MGA1_MATRCPAR (\n    MGA1_ID " + key +
            ",\n    MGA1_DITTA_CG18 INTEGER NOT NULL,\n    MGA1_ID_MGA0 INTEGER NOT NULL,\n" +
            values + column("MGA1_CONTO", 20) + "\n)",
        "CREATE INDEX MGA1_MATRCPAR_CRITERIO ON MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0)",
        // The rows holding a posting's values, whichever criterion they belong to: the
        // determination of an account reads those alone.
        "CREATE INDEX MGA1_MATRCPAR_VALORI ON MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_VALORE01, "
        "MGA1_VALORE02, MGA1_VALORE03)",
        // The history of changes (db/history.h): only ever inserted into and read, newest first,
        // a company's records or those of one of its criteria.
        "CREATE TABLE HOST_STORICO (\n    STORICO_ID " + longKey + ",\n" +
            column("STORICO_QUANDO", 23, "NOT NULL") + ",\n" +
            column("STORICO_UTENTE", 128, "NOT NULL") + ",\n" +
            column("STORICO_PROGRAMMA", 255, "NOT NULL") +
            ",\n    STORICO_DITTA INTEGER NOT NULL,\n" + column("STORICO_AZIONE", 10, "NOT NULL") +
            ",\n" + column("STORICO_TABELLA", 30, "NOT NULL") +
            ",\n    STORICO_CHIAVE INTEGER NULL,\n    STORICO_CRITERIO INTEGER NULL,\n"
            "    STORICO_DETTAGLIO " +
            longText + " NOT NULL\n)",
        "CREATE INDEX HOST_STORICO_DITTA ON HOST_STORICO (STORICO_DITTA, STORICO_ID)",
        "CREATE INDEX HOST_STORICO_CRITERIO ON HOST_STORICO (STORICO_DITTA, STORICO_CRITERIO, "
        "STORICO_ID)",
    };
}

}  // namespace

// A key given explicitly (the demo data's) is taken as it is; the server generates the others.
const std::vector<std::string>& PostgresqlSchema() {
    static const auto statements = ServerSchema(
        "INTEGER GENERATED BY DEFAULT AS IDENTITY NOT NULL PRIMARY KEY",
        "BIGINT GENERATED ALWAYS AS IDENTITY NOT NULL PRIMARY KEY", PostgresqlText, "TEXT");
    return statements;
}

const std::vector<std::string>& TsqlSchema() {
    static const auto statements =
        ServerSchema("INTEGER IDENTITY(1,1) NOT NULL PRIMARY KEY",
                     "BIGINT IDENTITY(1,1) NOT NULL PRIMARY KEY", TsqlText, "NVARCHAR(MAX)");
    return statements;
}

}  // namespace db
