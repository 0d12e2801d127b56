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

constexpr int kMostSteps = 2000;  // an upgrade that never stops firing the fault fails

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
    bool Sqlite() const { return GetParam() == Backend::Sqlite; }

    // The old database every step starts from, made in `journal` mode on SQLite.
    void MakeOld(const char* journal) {
        auto c = Open(Sqlite() ? ado::SqliteConnectionString(folder_ / "old.db")
                               : PostgresServer::Shared().CreateDatabase("upgrade_old"));
        if (Sqlite()) c->Execute(std::string("PRAGMA journal_mode=") + journal);
        testing_support::MakeOldDatabase(*c, testing_support::kOldShapes[1], 20);
    }

    // A fresh copy of the old database: the connection string of the upgrade (through the relay
    // on PostgreSQL), and the one that looks at the result.
    std::pair<std::string, std::string> Copy() {
        if (Sqlite()) {
            std::filesystem::copy_file(folder_ / "old.db", folder_ / "step.db",
                                       std::filesystem::copy_options::overwrite_existing);
            const auto cs = ado::SqliteConnectionString(folder_ / "step.db");
            return {cs, cs};
        }
        const auto direct = PostgresServer::Shared().CreateDatabase("upgrade_step", "upgrade_old");
        return {PostgresServer::Shared().ConnectionString("upgrade_step", Proxy().Directory()),
                direct};
    }

    static testing_support::PostgresProxy& Proxy() {
        static testing_support::PostgresProxy proxy(PostgresServer::Shared().Directory());
        return proxy;
    }

    void Arm(FileOp op, FileFault fault, int k) {
        if (Sqlite())
            testing_support::FaultyVfs::Install().Arm(op, k, fault);
        else
            Proxy().Arm(k);
    }
    bool Disarm() {
        return Sqlite() ? testing_support::FaultyVfs::Install().Disarm() : Proxy().Disarm();
    }

    // The loop for one way of breaking it.
    void Loop(FileOp op, FileFault fault) {
        const auto [before, after] = [&] {
            const auto [upgraded, direct] = Copy();
            const auto old = Look(direct);
            db::UpgradeSchema(*Open(upgraded));
            return std::pair(old, Look(direct));
        }();
        ASSERT_NE(before, after);
        int k = 1;
        for (; k <= kMostSteps; ++k) {
            SCOPED_TRACE("step " + std::to_string(k));
            const auto [upgraded, direct] = Copy();
            auto c = Open(upgraded);
            Arm(op, fault, k);
            bool failed = false;
            try {
                db::UpgradeSchema(*c);
            } catch (const com::ComError&) {
                failed = true;
            }
            c->Close();
            const bool fired = Disarm();
            const std::string look = Look(direct);
            if (!fired) {
                EXPECT_FALSE(failed);
                EXPECT_EQ(look, after);
                break;
            }
            EXPECT_TRUE(look == before || look == after) << look;
            db::UpgradeSchema(*Open(direct));
            EXPECT_EQ(Look(direct), after);
        }
        EXPECT_LT(k, kMostSteps);
        std::printf("%d steps\n", k);
    }

    testing_support::TempDir folder_{"dravel-upgrade-faults"};
};

TEST_P(UpgradeFaults, LeaveTheOldVersionOrTheNewOneAndTheNextRunFinishes) {
    if (!Sqlite()) {
        MakeOld("");
        Loop(FileOp::Read, FileFault::IoError);  // the relay cuts the connection
        return;
    }
    testing_support::FaultyVfs::Install();
    const std::pair<FileOp, FileFault> faults[] = {
        {FileOp::Read, FileFault::IoError},   {FileOp::Write, FileFault::IoError},
        {FileOp::Write, FileFault::DiskFull}, {FileOp::Sync, FileFault::IoError},
        {FileOp::Lock, FileFault::Busy},      {FileOp::Lock, FileFault::IoError},
    };
    for (const char* journal : {"delete", "wal"}) {
        MakeOld(journal);
        for (const auto& [op, fault] : faults) {
            SCOPED_TRACE(std::string(journal) + " journal, fault " +
                         std::to_string(static_cast<int>(op)) + "/" +
                         std::to_string(static_cast<int>(fault)));
            Loop(op, fault);
        }
        std::filesystem::remove(folder_ / "old.db");
    }
}

DRAVEL_ON_EACH_BACKEND(UpgradeFaults);

}  // namespace
