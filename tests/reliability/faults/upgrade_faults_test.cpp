// An upgrade that breaks at any step leaves the database at the version it had, in its shape, or
// at the new one, never between, and the next upgrade finishes it. Step k fails the k-th file
// operation (SQLite, in each journal mode) or cuts the connection at the k-th statement
// (PostgreSQL), for k = 1, 2, ... until the upgrade runs through.

#include <gmock/gmock.h>

#include "db/schema_upgrade.h"
#include "platform/ado/connection_string.h"
#include "tests/support/backend.h"
#include "tests/support/faulty_vfs.h"
#include "tests/support/old_databases.h"
#include "tests/support/postgres_proxy.h"
#include "tests/support/postgres_server.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::Backend;
using testing_support::FileFault;
using testing_support::FileOp;
using testing_support::PostgresServer;

com::ComPtr<ado::Connection> Open(const std::string& connectionString) {
    auto c = ado::Connection::Create();
    c->Open(connectionString);
    return c;
}

std::string Look(const std::string& connectionString) {
    auto c = Open(connectionString);
    return testing_support::Shape(*c) + "\n" + testing_support::Content(*c);
}

class UpgradeFaults : public ::testing::TestWithParam<Backend> {
  protected:
    // A fresh copy of the old database: the connection string the upgrade uses (through the
    // relay on PostgreSQL), and the one that looks at the result.
    std::pair<std::string, std::string> Copy() {
        if (GetParam() == Backend::Sqlite) {
            std::filesystem::copy_file(folder_ / "old.db", folder_ / "step.db",
                                       std::filesystem::copy_options::overwrite_existing);
            const auto cs = ado::SqliteConnectionString(folder_ / "step.db");
            return {cs, cs};
        }
        static testing_support::PostgresProxy proxy(PostgresServer::Shared().Directory());
        proxy_ = &proxy;
        return {PostgresServer::Shared().ConnectionString("upgrade_step", proxy.Directory()),
                PostgresServer::Shared().CreateDatabase("upgrade_step", "upgrade_old")};
    }

    // The loop for one way of breaking it.
    void Loop(FileOp op, FileFault fault) {
        auto& vfs = testing_support::FaultyVfs::Install();
        const auto [before, after] = [&] {
            const auto [upgraded, direct] = Copy();
            const auto old = Look(direct);
            db::UpgradeSchema(*Open(upgraded));
            return std::pair(old, Look(direct));
        }();
        int k = 1;
        for (bool fired = true; fired && k < 2000; ++k) {
            SCOPED_TRACE("step " + std::to_string(k));
            const auto [upgraded, direct] = Copy();
            auto c = Open(upgraded);
            proxy_ ? proxy_->Arm(k) : vfs.Arm(op, k, fault);
            bool failed = false;
            try {
                db::UpgradeSchema(*c);
            } catch (const com::ComError&) {
                failed = true;
            }
            c->Close();
            fired = proxy_ ? proxy_->Disarm() : vfs.Disarm();
            const std::string look = Look(direct);
            EXPECT_TRUE(look == after || (fired && look == before)) << look;
            if (!fired) EXPECT_FALSE(failed);
            db::UpgradeSchema(*Open(direct));
            EXPECT_EQ(Look(direct), after);
        }
        EXPECT_LT(k, 2000) << "the fault fires at every step";
        EXPECT_NE(before, after);
    }

    testing_support::TempDir folder_{"dravel-upgrade-faults"};
    testing_support::PostgresProxy* proxy_ = nullptr;
};

TEST_P(UpgradeFaults, LeaveTheOldVersionOrTheNewOneAndTheNextRunFinishes) {
    const auto& shape = testing_support::kOldShapes[1];
    if (GetParam() == Backend::Postgresql) {
        testing_support::MakeOldDatabase(
            *Open(PostgresServer::Shared().CreateDatabase("upgrade_old")), shape, 20);
        Loop({}, {});  // the relay cuts the connection
        return;
    }
    for (const char* journal : {"delete", "wal"}) {
        std::filesystem::remove(folder_ / "old.db");
        auto old = Open(ado::SqliteConnectionString(folder_ / "old.db"));
        old->Execute(std::string("PRAGMA journal_mode=") + journal);
        testing_support::MakeOldDatabase(*old, shape, 20);
        old->Close();
        for (const auto& [op, fault] : {std::pair(FileOp::Read, FileFault::IoError),
                                        {FileOp::Write, FileFault::IoError},
                                        {FileOp::Write, FileFault::DiskFull},
                                        {FileOp::Sync, FileFault::IoError},
                                        {FileOp::Lock, FileFault::Busy},
                                        {FileOp::Lock, FileFault::IoError}}) {
            SCOPED_TRACE(std::string(journal) + " journal, fault " +
                         std::to_string(static_cast<int>(op)) + "/" +
                         std::to_string(static_cast<int>(fault)));
            Loop(op, fault);
        }
    }
}

DRAVEL_ON_EACH_BACKEND(UpgradeFaults);

}  // namespace
