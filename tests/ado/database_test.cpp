// The database: opening a connection (connection strings, passwords never shown, SQLite files this
// user cannot write), values that are not plain numbers never in the window's statements, the
// schema on each backend and the demo data.

#include <sys/stat.h>
#include <unistd.h>

#include "db/demo_data.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/odbc/odbc_error.h"
#include "tests/ado/temp_database.h"
#include "tests/support/child_process.h"
#include "window/criteria_statements.h"

namespace dravel::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using testing_support::Require;

TEST(ConnectionString, BracesQuoteAValueAsItStandsAndErrorsNeverQuoteTheValue) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"Provider=SQLite;Data Source={/x/real;2024.db}", "data source", "/x/real;2024.db"},
        {"Data Source = { a}}b } ;Provider=SQLite", "data source", " a}b "},
        {"DSN=conti;PWD=p=q}", "pwd", "p=q}"},
        {";;Mode;DSN = conti ;Mode=x", "dsn", "conti"},
        {"Mode;DSN=conti;Mode=x", "mode", ""},
    };
    for (const auto& [text, key, value] : cases)
        EXPECT_EQ(ado::ParseConnectionString(text).Get(key), value) << text;
    // The value may be a password.
    for (const char* bad : {"PWD={segreto;Server=x", "PWD={segreto}x;Server=x"})
        EXPECT_THAT([&] { ado::ParseConnectionString(bad); },
                    FailsWith(com::err::Database,
                              ::testing::AllOf(HasSubstr("\"pwd\""), Not(HasSubstr("segreto")))));
}

TEST(ConnectionString, PasswordsAreBlankedWhereverTheyStand) {
    const std::pair<const char*, const char*> cases[] = {
        {"Driver=x;UID=u;PWD=secret;Database=d", "Driver=x;UID=u;PWD=***;Database=d"},
        {"pwd={se;cr}}et};x=1", "pwd=***;x=1"},
        {"login failed: password=secret for u", "login failed: password=*** for u"},
        {"SPWD=kept;XPassword=kept", "SPWD=kept;XPassword=kept"},
        {"PWD=a;PWD=b", "PWD=***;PWD=***"},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(ado::detail::WithoutPasswords(text), shown);
}

// The PostgreSQL driver is told to leave a failed statement to the program (no savepoint before
// each statement), unless the user chose; other drivers get the string as given.
TEST(ConnectionString, OnlyThePostgresqlDriverIsToldToLeaveRollbacksToTheProgram) {
    const std::pair<const char*, const char*> cases[] = {
        {"Driver={PostgreSQL Unicode};Database=d;",
         "Driver={PostgreSQL Unicode};Database=d;Protocol=7.4-0"},
        {"Driver=/usr/lib/odbc/psqlodbcw.so", "Driver=/usr/lib/odbc/psqlodbcw.so;Protocol=7.4-0"},
        {"Driver={PostgreSQL Unicode};protocol=7.4-2",
         "Driver={PostgreSQL Unicode};protocol=7.4-2"},
        {"Driver={FreeTDS};Database=postgresql", "Driver={FreeTDS};Database=postgresql"},
        {"DSN=ditta", "DSN=ditta"},
    };
    for (const auto& [given, connected] : cases)
        EXPECT_EQ(ado::OdbcConnectTarget(given), connected);
}

TEST(CriteriaStatements, ACodeThatIsNotAPlainNumberIsRefused) {
    for (const com::Variant& bad : {com::Variant("1 OR 1=1"), com::Variant("'1'"), com::Variant(""),
                                    com::Variant::Null(), com::Variant(1.5)}) {
        EXPECT_THAT([&] { CriteriaQuery(bad); },
                    FailsWith(com::err::InvalidCall, HasSubstr("company code")))
            << bad.Debug();
        EXPECT_THAT([&] { RenumberStatements(ado::Dialect::Sqlite, bad, 0); },
                    FailsWith(com::err::InvalidCall));
        EXPECT_THAT([&] { RenumberStatements(ado::Dialect::Tsql, 3, bad); },
                    FailsWith(com::err::InvalidCall));
    }
    EXPECT_THAT([&] { NextPriorityQuery(com::Variant("1;DROP TABLE X"), 0); },
                FailsWith(com::err::InvalidCall, HasSubstr("\"1;DROP TABLE X\"")));
    EXPECT_THAT([&] { MatrixGuardQuery(com::Variant(1), com::Variant::Null()); },
                FailsWith(com::err::InvalidCall));
}

using SqliteOpen = TempDatabase;

// An ODBC connection that fails says what failed but not with which password; a SQLite one is
// read whatever the case and blanks of its words.
TEST_F(SqliteOpen, ConnectionStringsOtherThanSqliteAreRefusedClearly) {
    auto c = ado::Connection::Create();
    EXPECT_THAT([&] { c->Open("Driver={No such driver};Server=x;UID=u;PWD=hunter2"); },
                FailsWith(com::err::Database,
                          "Il driver ODBC indicato nella stringa di connessione non è installato.",
                          Not(HasSubstr("hunter2"))));
    EXPECT_EQ(c->State(), ado::adStateClosed);
    c->Open("  provider = sqlite ; DATA SOURCE = " + (folder_ / "test.db").string() + " ;");
    EXPECT_EQ(c->Execute("PRAGMA journal_mode")->Fields(0).Value(), com::Variant("wal"));
    EXPECT_EQ(c->Execute("PRAGMA foreign_keys")->Fields(0).Value(), com::Variant(1));
}

struct Access {
    const char* name;
    const char* journal;  // the mode the database's owner chose
    mode_t folder;
    mode_t file;
    bool writable;
};

class OpenAccess : public TempDatabase, public ::testing::WithParamInterface<Access> {};

// Viewing never changes the database: a file or folder this user cannot write opens read-only,
// writing then fails clearly, and the journal mode stays the owner's.
TEST_P(OpenAccess, ReadsWhatItCanAndKeepsTheJournalMode) {
    const Access& a = GetParam();
    conn_->Execute(std::string("PRAGMA journal_mode=") + a.journal);
    conn_->Execute("INSERT INTO HOST_DITTE (DITTA_CODICE, DITTA_RAGSOC) VALUES (1, 'Uno')");
    conn_ = nullptr;  // the last connection removes the WAL's files
    auto file = folder_ / "test.db";
    if (geteuid() == 0) {
        ASSERT_EQ(chown(folder_.Path().c_str(), 65534, 65534), 0);
        ASSERT_EQ(chown(file.c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(chmod(file.c_str(), a.file), 0);
    ASSERT_EQ(chmod(folder_.Path().c_str(), a.folder), 0);

    // As an ordinary user (root writes whatever the modes say): the row is read, and the write
    // goes through only where this user may write.
    EXPECT_IN_CHILD([&] {
        Require(geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0), "cannot leave root");
        auto c = Connect();
        Require(c->Execute("SELECT COUNT(*) FROM HOST_DITTE")->Fields(0).Value() == com::Variant(1),
                "the row is not read");
        auto write = [&] { c->Execute("INSERT INTO HOST_DITTE VALUES (2, 'Due', 0, 0)"); };
        if (a.writable) return write();
        Require(::testing::Value(write,
                                 FailsWith(::testing::_,
                                           ::testing::StartsWith("Il database è in sola lettura"))),
                "the write was not refused as a read-only database");
    });

    chmod(folder_.Path().c_str(), 0700);
    chmod(file.c_str(), 0600);
    EXPECT_EQ(Connect()->Execute("PRAGMA journal_mode")->Fields(0).Value().ToText(), a.journal);
}

INSTANTIATE_TEST_SUITE_P(FilesAndFolders, OpenAccess,
                         ::testing::Values(Access{"Writable", "delete", 0755, 0644, true},
                                           Access{"ReadOnlyFile", "delete", 0755, 0444, false},
                                           Access{"ReadOnlyFileWal", "wal", 0755, 0444, false},
                                           Access{"ReadOnlyFolder", "delete", 0555, 0644, false},
                                           Access{"ReadOnlyFolderWal", "wal", 0555, 0644, false}),
                         [](const auto& instance) { return std::string(instance.param.name); });

class Schema : public OnEachBackend {};

TEST_P(Schema, TakesTheDemoDataWithDensePrioritiesAndNoOrphanRows) {
    db::LoadDemoData(*conn_);
    EXPECT_EQ(Rows("SELECT COUNT(*) FROM (SELECT MGA0_DITTA_CG18 FROM MGA0_QUINTAB GROUP BY "
                   "MGA0_DITTA_CG18, MGA0_FLGRESO HAVING MIN(MGA0_INDPRIOR) <> 1 OR "
                   "MAX(MGA0_INDPRIOR) <> COUNT(*) OR COUNT(DISTINCT MGA0_INDPRIOR) <> COUNT(*)) "
                   "AS GAPS"),
              "0");
    EXPECT_EQ(Rows("SELECT COUNT(*) FROM MGA1_MATRCPAR WHERE NOT EXISTS (SELECT 1 FROM "
                   "MGA0_QUINTAB WHERE MGA0_ID = MGA1_ID_MGA0 AND MGA0_DITTA_CG18 = "
                   "MGA1_DITTA_CG18)"),
              "0");
}

TEST_P(Schema, AMissingTableIsNamed) {
    conn_->Execute("DROP TABLE MGA1_MATRCPAR");
    EXPECT_THAT([&] { conn_->Execute("SELECT MGA1_ID FROM MGA1_MATRCPAR"); },
                FailsWith(com::err::Database, std::string("Nel database manca la tabella ") +
                                                  Native("MGA1_MATRCPAR", "mga1_matrcpar") +
                                                  ": l'operazione non è stata eseguita."));
}

DRAVEL_ON_EACH_BACKEND(Schema);

class PostgresqlRefusals : public TempDatabase {
  protected:
    Backend Which() const override { return Backend::Postgresql; }

    // The test's database reached as `role`, with `password` when given.
    std::string As(const std::string& role, const std::string& password = {}) const {
        const auto s = testing_support::PostgresServer::As(connectionString_, role);
        return password.empty() ? s : s + ";PWD=" + password;
    }
};

// What the server refuses is said as it is, not as a server out of reach or as a failure without
// a reason: a login without the right password, a role without the rights for a change.
TEST_F(PostgresqlRefusals, SayWhatTheServerRefused) {
    const std::string withPassword = testing_support::PostgresServer::kPasswordRole;
    for (const std::string& role :
         {withPassword + " LOGIN PASSWORD 'giusta'", std::string("dravel_reader LOGIN")})
        conn_->Execute("DO $$ BEGIN CREATE ROLE " + role +
                       "; EXCEPTION WHEN duplicate_object THEN NULL; END $$");
    conn_->Execute("GRANT SELECT ON MGA0_QUINTAB TO dravel_reader");
    AddCriterion(1, 1, 0, 1);
    const std::string refusedLogin = "Accesso al database negato: utente o password non validi.",
                      noRights =
                          "L'utente del database non ha i diritti per questa operazione, "
                          "che non è stata eseguita.";
    const struct {
        std::string connection;
        const char* sql;  // nullptr: connecting is refused
        const std::string& said;
    } cases[] = {
        {As(withPassword, "sbagliata"), nullptr, refusedLogin},
        {As(withPassword), nullptr, refusedLogin},
        {As("dravel_nobody"), nullptr, refusedLogin},
        {As("dravel_reader"), "UPDATE MGA0_QUINTAB SET MGA0_DESCR = 'Nuova'", noRights},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql ? c.sql : c.connection);
        auto connection = ado::Connection::Create();
        EXPECT_THAT(
            [&] {
                connection->Open(c.connection);
                if (c.sql) connection->Execute(c.sql);
            },
            FailsWith(com::err::Database, c.said, Not(HasSubstr("sbagliata"))));
    }
    // The right password opens, and the reader reads what it may.
    ado::Connection::Create()->Open(As(withPassword, "giusta"));
    auto reader = ado::Connection::Create();
    reader->Open(As("dravel_reader"));
    EXPECT_EQ(testing_support::Rows(*reader, "SELECT MGA0_DESCR FROM MGA0_QUINTAB"), "Cliente");
}

}  // namespace
}  // namespace dravel::testing
