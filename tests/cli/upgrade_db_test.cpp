// `dravel upgrade-db` and `dravel backup` as a user runs them (README.md shows what they print):
// what they exit with, and an upgrade killed at any moment.

#include <fstream>
#include <random>

#include "platform/ado/connection_string.h"
#include "tests/cli/dravel_cli.h"
#include "tests/support/old_databases.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Pair;
namespace fs = std::filesystem;
using testing_support::OpenDatabase;

class UpgradeDb : public testing_support::DravelCli {
  protected:
    // A database of the first builds' shape holding rows, `matrixRows` more in the matrix.
    static std::string Old(const std::string& database, int matrixRows = 0) {
        testing_support::MakeOldDatabase(*OpenDatabase(database), testing_support::kOldShapes[0],
                                         matrixRows);
        return database;
    }
    static std::string Look(const std::string& database) {
        auto c = OpenDatabase(database);
        return testing_support::Shape(*c) + "\n" + testing_support::Content(*c);
    }
};

TEST_F(UpgradeDb, RefusesWithOneAndFailsWithTwo) {
    const std::string db = (folder_ / "nuovo.db").string();
    ASSERT_EQ(Dravel({"create-db", "--database", db}).first, 0);
    db::WriteSchemaVersion(*OpenDatabase(db), 3);
    std::ofstream(folder_ / "copia.db") << "kept";
    const struct {
        std::vector<std::string> args;
        int exit;
        std::string told;
    } cases[] = {
        {{"upgrade-db", "--database", db}, 1, "più recente della versione 2 di questo programma"},
        {{"backup", "--database", db, "--output", (folder_ / "copia.db").string()},
         1,
         "esiste già: nulla è stato modificato"},
        {{"upgrade-db", "--database", (folder_ / "manca.db").string()}, 2, "non esiste"},
        {{"upgrade-db"}, 2, "Indicare il database"},
        {{"backup", "--database", "Driver={PostgreSQL};Server=/nowhere;Database=conti", "--output",
          (folder_ / "server.bak").string()},
         2,
         "pg_dump"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.at(0) + " " + c.told);
        EXPECT_THAT(Dravel(c.args), Pair(c.exit, HasSubstr(c.told)));
    }
}

TEST_F(UpgradeDb, UpgradesAServerDatabaseWithNoBackupOnPostgresql) {
    const std::string db =
        Old(testing_support::PostgresServer::Shared().CreateDatabase("cli_upgrade"));
    EXPECT_THAT(Dravel({"upgrade-db", "--database", db}),
                Pair(0, "upgraded " + ado::DatabaseLabel(db) + " from version 0 to 2\n"));
    EXPECT_EQ(db::ReadSchemaVersion(*OpenDatabase(db)), db::kSchemaVersion);
}

TEST_F(UpgradeDb, TwoStartedTogetherUpgradeOnceWithOneBackup) {
    const std::string db = Old((folder_ / "conti.db").string(), 30000);
    std::vector<std::unique_ptr<testing_support::Process>> runs;
    for (const char* output : {"first", "second"})
        runs.push_back(std::make_unique<testing_support::Process>(
            std::vector<std::string>{DRAVEL_CLI_PATH, "upgrade-db", "--database", db},
            testing_support::CurrentEnvironment(), folder_ / output));
    std::string outputs;
    for (auto& run : runs) {
        EXPECT_EQ(run->WaitFor(std::chrono::seconds(60)), 0);
        outputs += run->Output();
    }
    EXPECT_EQ(outputs.find("upgraded"), outputs.rfind("upgraded")) << outputs;
    EXPECT_THAT(outputs, HasSubstr("nothing to do"));
    EXPECT_FALSE(fs::exists(db + ".v0.1.bak"));
}

// Killed anywhere in its backup or its upgrade (or just after it ended), the database is the old
// one or the upgraded one, a backup under its final name is whole, and the next run finishes.
TEST_F(UpgradeDb, KilledAtAnyMomentLeavesTheOldDatabaseOrTheNewAndTheNextRunFinishes) {
    const std::string model = Old((folder_ / "model.db").string(), 30000);
    const std::string old = Look(model);
    fs::copy_file(model, folder_ / "old.db");
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Dravel({"upgrade-db", "--database", model}).first, 0);
    const auto takes = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - started)
                           .count();
    const std::string upgraded = Look(model);
    const uint32_t seed = std::random_device()();
    std::printf("upgrade-db kill test seed %u, a run takes %lld ms\n", seed,
                static_cast<long long>(takes));
    std::mt19937 random(seed);
    int killedOld = 0;
    for (int k = 0; k < (testing_support::Soak() ? 100 : 10); ++k) {
        SCOPED_TRACE("kill " + std::to_string(k) + ", seed " + std::to_string(seed));
        const fs::path run = folder_ / ("run" + std::to_string(k));
        fs::create_directory(run);
        const std::string db = (run / "conti.db").string();
        fs::copy_file(folder_ / "old.db", db);
        {
            testing_support::Process upgrade({DRAVEL_CLI_PATH, "upgrade-db", "--database", db},
                                             testing_support::CurrentEnvironment(), run / "output");
            std::this_thread::sleep_for(std::chrono::milliseconds(
                std::uniform_int_distribution<long long>(0, takes * 5 / 4)(random)));
            upgrade.Kill();
            upgrade.WaitFor(std::chrono::seconds(10));
        }
        const std::string now = Look(db);
        ASSERT_TRUE(now == old || now == upgraded) << now.substr(0, 2000);
        killedOld += now == old;
        for (const auto& entry : fs::directory_iterator(run))
            if (entry.path().extension() == ".bak") {
                EXPECT_EQ(Look(entry.path().string()), old) << entry.path();
            }
        EXPECT_EQ(Dravel({"upgrade-db", "--database", db}).first, 0);
        EXPECT_EQ(Look(db), upgraded);
        fs::remove_all(run);
    }
    std::printf("upgrade-db kill test: %d of the kills left the old database\n", killedOld);
}

}  // namespace
