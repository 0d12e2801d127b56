// Databases of every earlier shape brought to the current schema version with every row and key,
// and those the upgrade must leave alone; consistent copies of SQLite files.

#include <sys/stat.h>

#include <fstream>

#include "db/schema_steps.h"
#include "db/schema_upgrade.h"
#include "db/sqlite_backup.h"
#include "tests/ado/temp_database.h"
#include "tests/support/old_databases.h"

namespace dravel::testing {
namespace {

using ::testing::HasSubstr;
using testing_support::Content;
using testing_support::Shape;

class SchemaUpgrade : public OnEachBackend {
  protected:
    void SetUp() override {
        OnEachBackend::SetUp();
        current_ = Shape(*conn_);
    }

    // The database emptied of the module's tables, as before create-db.
    void Empty() {
        if (Which() == Backend::Sqlite) {
            conn_->Close();
            for (const char* end : {"", "-wal", "-shm"})
                std::filesystem::remove(folder_ / ("test.db" + std::string(end)));
            conn_ = Connect();
            return;
        }
        for (const auto& table : db::SchemaTables(ado::Dialect::Postgresql))
            conn_->Execute("DROP TABLE IF EXISTS " + table);
    }

    std::string current_;  // a new database's shape
};

TEST_P(SchemaUpgrade, BringsEveryEarlierShapeToTheCurrentOneKeepingEveryRowAndKey) {
    for (const auto& shape : testing_support::kOldShapes) {
        SCOPED_TRACE(shape.name);
        Empty();
        testing_support::MakeOldDatabase(*conn_, shape);
        const std::string rows = Content(*conn_);
        const auto upgrade = db::UpgradeSchema(*conn_);
        EXPECT_EQ(std::pair(upgrade.from, upgrade.to),
                  std::pair(shape.version, db::kSchemaVersion));
        EXPECT_EQ(Shape(*conn_), current_);
        EXPECT_EQ(Content(*conn_), rows);
        const auto again = db::UpgradeSchema(*conn_);
        EXPECT_EQ(std::pair(again.from, again.to),
                  std::pair(db::kSchemaVersion, db::kSchemaVersion));
        // Each step run again on its result changes nothing.
        for (const auto& step : db::SchemaSteps()) step.run(*conn_);
        EXPECT_EQ(Shape(*conn_), current_);
        // A new row never gets the key of the last one, deleted.
        conn_->Execute("DELETE FROM MGA0_QUINTAB WHERE MGA0_ID = 20");
        conn_->Execute("DELETE FROM MGA1_MATRCPAR WHERE MGA1_ID = 15");
        conn_->Execute("INSERT INTO MGA0_QUINTAB (MGA0_DITTA_CG18, MGA0_FLGRESO) VALUES (2, 0)");
        conn_->Execute("INSERT INTO MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0) VALUES (2, 3)");
        EXPECT_GT(Scalar("SELECT MAX(MGA0_ID) FROM MGA0_QUINTAB").ToLong(), 20);
        EXPECT_GT(Scalar("SELECT MAX(MGA1_ID) FROM MGA1_MATRCPAR").ToLong(), 15);
    }
}

TEST_P(SchemaUpgrade, LeavesANewerDatabaseOrOneWithoutTheTablesAsItIs) {
    // The database made so, and what the refusal tells.
    const std::tuple<const char*, std::function<void()>, const char*> cases[] = {
        {"newer", [&] { db::WriteSchemaVersion(*conn_, 3); },
         "alla versione 3 dello schema, più recente della versione 2"},
        {"empty", [&] { Empty(); }, "non contiene le tabelle del modulo"},
        {"partial",
         [&] {
             Empty();
             conn_->Execute("CREATE TABLE HOST_DITTE (DITTA_CODICE INTEGER)");
         },
         "(mancano: HOST_MEDIA, MGA0_QUINTAB, MGA1_MATRCPAR)"},
    };
    for (const auto& [name, make, told] : cases) {
        SCOPED_TRACE(name);
        make();
        const std::string before = Shape(*conn_);
        EXPECT_THAT([&] { db::UpgradeSchema(*conn_, [](int32_t) { FAIL() << "a backup"; }); },
                    ::testing::Throws<db::UpgradeRefused>(
                        ::testing::Property(&com::ComError::Description, HasSubstr(told))));
        EXPECT_EQ(Shape(*conn_), before);
    }
}

DRAVEL_ON_EACH_BACKEND(SchemaUpgrade);

class SqliteBackup : public TempDatabase {};

TEST_F(SqliteBackup, NamesABackupThatNoFileHas) {
    // The names taken ("*": a link to nowhere), the version, the backup's name.
    const std::tuple<std::vector<std::string>, int32_t, const char*> cases[] = {
        {{"conti.db.v1.bak"}, 0, "conti.db.v0.bak"},
        {{"conti.db.v0.bak", "conti.db.v0.1.bak"}, 0, "conti.db.v0.2.bak"},
        {{"conti.db.v3.bak*"}, 3, "conti.db.v3.1.bak"},
    };
    for (const auto& [taken, version, name] : cases) {
        testing_support::TempDir folder("dravel-backup-name");
        for (const std::string& file : taken)
            if (file.ends_with("*"))
                std::filesystem::create_symlink(folder / "gone",
                                                folder / file.substr(0, file.size() - 1));
            else
                std::ofstream(folder / file) << "x";
        EXPECT_EQ(db::BackupName(folder / "conti.db", version), folder / name);
    }
}

TEST_F(SqliteBackup, CopiesWhatIsCommittedWithTheFilesPermissions) {
    AddCriterion(4, 1, 0, 1);
    auto other = Connect();
    ado::Transaction writing(*other);
    other->Execute("DELETE FROM MGA0_QUINTAB");
    const auto files = [&] {
        return std::distance(std::filesystem::directory_iterator(folder_.Path()), {});
    };
    const auto before = files();
    for (const mode_t mode : {0600, 0640}) {
        const auto copy = folder_ / ("copy-" + std::to_string(mode));
        std::filesystem::permissions(folder_ / "test.db",
                                     static_cast<std::filesystem::perms>(mode));
        db::BackupDatabase(folder_ / "test.db", copy);
        struct stat st {};
        ASSERT_EQ(::stat(copy.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, mode);
        auto c = ado::Connection::Create();
        c->Open(ado::SqliteConnectionString(copy));
        EXPECT_EQ(testing_support::Rows(*c, "SELECT MGA0_ID FROM MGA0_QUINTAB"), "4");
        EXPECT_EQ(db::ReadSchemaVersion(*c), db::kSchemaVersion);
    }
    // An output that exists is left as it is, and nothing else is left behind.
    std::ofstream(folder_ / "kept") << "kept";
    EXPECT_THAT([&] { db::BackupDatabase(folder_ / "test.db", folder_ / "kept"); },
                FailsWith(com::err::FileAlreadyExists));
    EXPECT_EQ(files(), before + 3);  // the two copies and "kept"
    std::ifstream kept(folder_ / "kept");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
}

}  // namespace
}  // namespace dravel::testing
