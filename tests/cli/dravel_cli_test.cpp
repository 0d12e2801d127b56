// The command-line tool: databases and the determination commands' exit status.

#include "tests/cli/dravel_cli.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Pair;
using testing_support::DravelCli;

constexpr const char* kWindowHeading = "== Gestione determinazione contropartite ==";

// Nothing in a path is syntax: not ';', not '=', not blanks at its ends, not a URI's '?'.
TEST_F(DravelCli, ADatabasePathNamesExactlyTheFileCreated) {
    for (std::string name : {"real;2024.db", "a=b.db", " blanks at both ends.db ", "a?b#c%d.db"}) {
        SCOPED_TRACE(name);
        fs::path folder = folder_ / "databases";
        fs::remove_all(folder);
        fs::create_directory(folder);
        auto [status, output] = Dravel({"create-db", "--database", (folder / name).string()});
        EXPECT_EQ(status, 0) << output;
        EXPECT_THAT(std::vector<fs::path>(fs::directory_iterator(folder), {}),
                    ::testing::ElementsAre(folder / name));
    }
}

// Several first runs at once: one makes the demo database, the others wait and empty nothing.
TEST_F(DravelCli, OnlyTheDemoDatabaseIsCreatedWhenMissing) {
    auto typo = folder_ / "typo.db";
    EXPECT_THAT(Dravel({"show", "--database", typo.string()}),
                Pair(1, HasSubstr("Il database " + typo.string() + " non esiste.")));
    EXPECT_FALSE(fs::exists(typo));

    for (int round = 0; round < 5; ++round) {
        fs::remove_all(folder_ / "data");
        std::vector<std::unique_ptr<testing_support::Process>> runs;
        for (int i = 0; i < 4; ++i)
            runs.push_back(std::make_unique<testing_support::Process>(
                std::vector<std::string>{DRAVEL_CLI_PATH, "show"},
                testing_support::CurrentEnvironment(), folder_ / ("output" + std::to_string(i))));
        for (auto& run : runs) {
            EXPECT_EQ(run->WaitFor(std::chrono::seconds(60)), 0) << run->Output();
            EXPECT_THAT(run->Output(), HasSubstr(kWindowHeading));
        }
    }
    EXPECT_TRUE(fs::exists(folder_ / "data/dravel/demo.db"));
}

// Past `ulimit -f` a write fails like a full disk, instead of the signal killing the tool; nothing
// half made is left: the next attempt, with room, makes the database.
TEST_F(DravelCli, AFileSizeLimitIsAnErrorNotASignal) {
    const std::string file = (folder_ / "big.db").string();
    EXPECT_THAT(
        testing_support::RunToEnd({"/bin/sh", "-c", "ulimit -f 32 && exec \"$@\"", "sh",
                                   DRAVEL_CLI_PATH, "create-db", "--demo", "--database", file},
                                  folder_ / "output"),
        Pair(1, HasSubstr("dravel: Spazio su disco esaurito")));
    EXPECT_EQ(Dravel({"create-db", "--database", file}).first, 0);
    EXPECT_EQ(Dravel({"create-db", "--database", file}).first, 1);
}

TEST_F(DravelCli, APartialDatabaseIsNamedAndLeftAsItIs) {
    const fs::path file = folder_ / "partial.db";
    ASSERT_EQ(Dravel({"create-db", "--database", file}).first, 0);
    auto connection = testing_support::OpenDatabase(file);
    for (const char* table : {"HOST_MEDIA", "HOST_DITTE"})
        connection->Execute(std::string("DROP TABLE ") + table);
    const char* tables = "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name";
    const std::string before = testing_support::Rows(*connection, tables);
    EXPECT_THAT(Dravel({"create-db", "--demo", "--database", file}),
                Pair(1, HasSubstr("dravel: Il database " + file.string() +
                                  " contiene solo una parte delle tabelle (mancano: "
                                  "HOST_DITTE, HOST_MEDIA): un database incompleto non "
                                  "viene modificato.")));
    EXPECT_EQ(testing_support::Rows(*connection, tables), before);
}

// 1 answers "no account" (or "findings"), 2 says the command could not run.
TEST_F(DravelCli, ResolveAndCheckAnswerWithTheirExitStatus) {
    EXPECT_THAT(Dravel({"resolve", "--company", "1", "--type", "0", "--json", "INDC=C00099"}),
                Pair(1, HasSubstr("\"account\": null")));
    EXPECT_EQ(Dravel({"check", "--company", "9"}).first, 2);
}

}  // namespace
