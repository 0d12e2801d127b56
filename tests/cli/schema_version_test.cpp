// A database of another schema version than the programs' is refused in one line that says what to
// do, and nothing is written to it, on SQLite and on PostgreSQL.

#include <fstream>

#include "db/schema_version.h"
#include "platform/ado/connection_string.h"
#include "tests/cli/dravel_cli.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Backend;
using testing_support::DravelCli;
using testing_support::OpenDatabase;

class SchemaVersions : public testing_support::DravelCliOnEachBackend {
  protected:
    // A database made with the demo data, then marked with `version`: on a server, version 0 is
    // a database without the version table, as the builds before versions made them.
    std::string Database(int32_t version) {
        const std::string db = NewDatabase("versions");
        EXPECT_EQ(Dravel({"create-db", "--demo", "--database", db}).first, 0);
        auto connection = OpenDatabase(db);
        if (version == 0 && GetParam() == Backend::Postgresql)
            connection->Execute("DROP TABLE HOST_VERSIONE");
        else
            db::WriteSchemaVersion(*connection, version);
        return db;
    }
    // What a refusal must leave as it found: the SQLite file's bytes, a server's version.
    std::string State(const std::string& db) {
        if (GetParam() == Backend::Sqlite) {
            std::ifstream in(db, std::ios::binary);
            return {std::istreambuf_iterator<char>(in), {}};
        }
        return std::to_string(db::ReadSchemaVersion(*OpenDatabase(db)));
    }
};

TEST_P(SchemaVersions, AnotherVersionIsRefusedInOneLineAndLeftAsItIs) {
    const fs::path script = folder_ / "open.dvs";
    std::ofstream(script) << "open 1\n";
    const struct {
        std::vector<std::string> command;
        int status;
    } commands[] = {
        {{"show"}, 1},
        {{"resolve", "--company", "1", "--type", "0", "INDC=C00099"}, 2},
        {{"script", script.string()}, 1},
        {{"create-db", "--demo"}, 1},  // a complete old database is old, not partial
    };
    ASSERT_EQ(Dravel({"register"}).first, 0);  // so that `script` says nothing of it
    for (int32_t version : {0, 3}) {
        const std::string db = Database(version);
        // A connection string is quoted in the command, for the shell.
        const bool sqlite = GetParam() == Backend::Sqlite;
        const std::string label = sqlite ? db : ado::DatabaseLabel(db),
                          word = sqlite ? label : "'" + label + "'";
        const std::string line =
            "dravel: Il database " + label + " ha lo schema versione " + std::to_string(version) +
            (version == 0 ? ", questo programma usa la versione 2: aggiornarlo con dravel "
                            "upgrade-db --database " +
                                word
                          : ", più recente di questo programma (versione 2): usare una versione "
                            "più recente del programma") +
            " (error 3219)\n";
        const std::string before = State(db);
        for (const auto& c : commands) {
            SCOPED_TRACE(::testing::PrintToString(c.command) + " on version " +
                         std::to_string(version));
            auto args = c.command;
            args.insert(args.end(), {"--database", db});
            EXPECT_THAT(Dravel(args), ::testing::Pair(c.status, line));
            EXPECT_EQ(State(db), before);
        }
    }
}

TEST_P(SchemaVersions, TheStatementsPrintedMakeADatabaseOfThisVersion) {
    const bool sqlite = GetParam() == Backend::Sqlite;
    const std::string db = NewDatabase("printed");
    auto [status, sql] = Dravel({"schema", "--dialect", sqlite ? "sqlite" : "postgresql"});
    ASSERT_EQ(status, 0);
    auto connection = OpenDatabase(db);
    for (size_t from = 0, end; (end = sql.find(";\n", from)) != std::string::npos; from = end + 2)
        connection->Execute(sql.substr(from, end - from));
    EXPECT_EQ(db::ReadSchemaVersion(*connection), db::kSchemaVersion);
}

DRAVEL_ON_EACH_BACKEND(SchemaVersions);

// The demo database, opened because no database was named, is the exception: an older one is
// upgraded after its backup beside it.
TEST_F(DravelCli, AnOlderDemoDatabaseIsUpgradedAfterItsBackup) {
    ASSERT_EQ(Dravel({"company", "list"}).first, 0);
    const std::string demo = (folder_ / "data/dravel/demo.db").string(), backup = demo + ".v0.bak";
    db::WriteSchemaVersion(*OpenDatabase(demo), 0);
    // Named, it is a database like any other.
    EXPECT_EQ(Dravel({"company", "list", "--database", demo}).first, 1);
    EXPECT_EQ(Dravel({"company", "list"}).first, 0);  // README.md shows what it says
    EXPECT_EQ(db::ReadSchemaVersion(*OpenDatabase(demo)), db::kSchemaVersion);
    ASSERT_TRUE(fs::exists(backup));
    EXPECT_EQ(db::ReadSchemaVersion(*OpenDatabase(backup)), 0);
}

}  // namespace
