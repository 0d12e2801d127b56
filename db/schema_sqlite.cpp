// The schema in SQLite's dialect. Widths are enforced by CHECK, since SQLite does not enforce
// declared lengths.

#include <string>
#include <vector>

namespace db {

const std::vector<std::string>& SqliteSchema() {
    static const std::vector<std::string> statements = {
        R"(CREATE TABLE HOST_DITTE (
    DITTA_CODICE INTEGER NOT NULL PRIMARY KEY,
    DITTA_RAGSOC VARCHAR(80) NOT NULL CHECK (length(DITTA_RAGSOC) <= 80),
    DITTA_PARAMTIPICONTO INTEGER NULL,
    DITTA_ANNIDACLASSI INTEGER NULL
))",
        R"(CREATE TABLE HOST_MEDIA (
    MEDIA_ID INTEGER NOT NULL PRIMARY KEY,
    MEDIA_IDENT INTEGER NOT NULL,
    MEDIA_DESCR VARCHAR(255) NOT NULL CHECK (length(MEDIA_DESCR) <= 255),
    MEDIA_PATH VARCHAR(1024) NOT NULL CHECK (length(MEDIA_PATH) <= 1024)
))",
        "CREATE INDEX HOST_MEDIA_IDENT ON HOST_MEDIA (MEDIA_IDENT)",
        // INTEGER PRIMARY KEY: the database generates the key when none is given. AUTOINCREMENT,
        // as an identity column on a server, never gives a key twice: without it SQLite gives the
        // key of the last row, once deleted, to the next new one, and a window still showing the
        // deleted row would save, move or delete the new one in its place (the criteria here, the
        // matrix rows below).
        R"(CREATE TABLE MGA0_QUINTAB (
    MGA0_ID INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT CHECK (MGA0_ID BETWEEN 1 AND 99999),
    MGA0_DITTA_CG18 INTEGER NOT NULL,
    MGA0_FLGRESO SMALLINT NOT NULL,
    MGA0_INDPRIOR INTEGER NULL,
    MGA0_DESCR VARCHAR(255) NULL CHECK (length(MGA0_DESCR) <= 255),
    MGA0_STRUTTURACAMPI VARCHAR(40) NULL CHECK (length(MGA0_STRUTTURACAMPI) <= 40),
    MG99_IDMEDIA_CG99 INTEGER NULL
))",
        "CREATE INDEX MGA0_QUINTAB_ORDINE ON MGA0_QUINTAB (MGA0_DITTA_CG18, MGA0_FLGRESO, "
        "MGA0_INDPRIOR)",
        R"(CREATE TABLE MGA1_MATRCPAR (
    MGA1_ID INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT,
    MGA1_DITTA_CG18 INTEGER NOT NULL,
    MGA1_ID_MGA0 INTEGER NOT NULL,
    MGA1_VALORE01 VARCHAR(40) NULL CHECK (length(MGA1_VALORE01) <= 40),
    MGA1_VALORE02 VARCHAR(40) NULL CHECK (length(MGA1_VALORE02) <= 40),
    MGA1_VALORE03 VARCHAR(40) NULL CHECK (length(MGA1_VALORE03) <= 40),
    MGA1_VALORE04 VARCHAR(40) NULL CHECK (length(MGA1_VALORE04) <= 40),
    MGA1_VALORE05 VARCHAR(40) NULL CHECK (length(MGA1_VALORE05) <= 40),
    MGA1_VALORE06 VARCHAR(40) NULL CHECK (length(MGA1_VALORE06) <= 40),
    MGA1_VALORE07 VARCHAR(40) NULL CHECK (length(MGA1_VALORE07) <= 40),
    MGA1_VALORE08 VARCHAR(40) NULL CHECK (length(MGA1_VALORE08) <= 40),
    MGA1_VALORE09 VARCHAR(40) NULL CHECK (length(MGA1_VALORE09) <= 40),
    MGA1_VALORE10 VARCHAR(40) NULL CHECK (length(MGA1_VALORE10) <= 40),
    MGA1_CONTO VARCHAR(20) NULL CHECK (length(MGA1_CONTO) <= 20)
))",
        "CREATE INDEX MGA1_MATRCPAR_CRITERIO ON MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0)",
        // The rows holding a posting's values, whichever criterion they belong to: the
        // determination of an account reads those alone.
        "CREATE INDEX MGA1_MATRCPAR_VALORI ON MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_VALORE01, "
        "MGA1_VALORE02, MGA1_VALORE03)",
        // The history of changes (db/history.h): only ever inserted into and read, newest first,
        // a company's records or those of one of its criteria.
        R"(CREATE TABLE HOST_STORICO (
    STORICO_ID INTEGER NOT NULL PRIMARY KEY AUTOINCREMENT,
    STORICO_QUANDO VARCHAR(23) NOT NULL CHECK (length(STORICO_QUANDO) <= 23),
    STORICO_UTENTE VARCHAR(128) NOT NULL CHECK (length(STORICO_UTENTE) <= 128),
    STORICO_PROGRAMMA VARCHAR(255) NOT NULL CHECK (length(STORICO_PROGRAMMA) <= 255),
    STORICO_DITTA INTEGER NOT NULL,
    STORICO_AZIONE VARCHAR(10) NOT NULL CHECK (length(STORICO_AZIONE) <= 10),
    STORICO_TABELLA VARCHAR(30) NOT NULL CHECK (length(STORICO_TABELLA) <= 30),
    STORICO_CHIAVE INTEGER NULL,
    STORICO_CRITERIO INTEGER NULL,
    STORICO_DETTAGLIO TEXT NOT NULL
))",
        "CREATE INDEX HOST_STORICO_DITTA ON HOST_STORICO (STORICO_DITTA, STORICO_ID)",
        "CREATE INDEX HOST_STORICO_CRITERIO ON HOST_STORICO (STORICO_DITTA, STORICO_CRITERIO, "
        "STORICO_ID)",
    };
    return statements;
}

// Write-ahead logging: readers go on beside a writer, and two editors of one file wait for each
// other (the connection's busy timeout) instead of failing. SQLite keeps the mode in the file, so
// it is chosen once, for a database this program creates; one that exists keeps its owner's.
const char* SqliteJournalMode() {
    return "PRAGMA journal_mode=WAL";
}

}  // namespace db
