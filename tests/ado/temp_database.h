#pragma once
// A fresh database with the module's schema: an SQLite file in a temporary folder, removed
// afterwards, or a new database on the program's PostgreSQL server.

#include <gmock/gmock.h>

#include <filesystem>
#include <string>

#include "db/schema.h"
#include "platform/ado/connection.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/recordset.h"
#include "tests/support/backend.h"
#include "tests/support/error_matchers.h"
#include "tests/support/postgres_server.h"
#include "tests/support/rows.h"
#include "tests/support/temp_dir.h"

namespace dravel::testing {

using testing_support::Backend;
using testing_support::FailsWith;

class TempDatabase : public ::testing::Test {
  protected:
    // SQLite, unless the fixture runs on each backend.
    virtual Backend Which() const { return Backend::Sqlite; }

    void SetUp() override {
        connectionString_ = Which() == Backend::Sqlite
                                ? ado::SqliteConnectionString(folder_ / "test.db")
                                : testing_support::PostgresServer::Shared().CreateDatabase("ado");
        conn_ = Connect();
        db::CreateDatabase(*conn_);
    }

    com::ComPtr<ado::Connection> Connect() const {
        auto c = ado::Connection::Create();
        c->Open(connectionString_);
        return c;
    }

    // The key is given, as other programs give it: keys generated later follow the largest.
    void AddCriterion(int32_t id, int32_t company, int32_t type, const com::Variant& priority,
                      const com::Variant& description = "Cliente",
                      const com::Variant& structure = "INDC") {
        db::InsertWithKeys(*conn_, "MGA0_QUINTAB", "MGA0_ID", [&] {
            conn_->ExecuteWith(
                "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, "
                "MGA0_INDPRIOR, MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES (?, ?, ?, ?, ?, ?)",
                {id, company, type, priority, description, structure});
        });
    }

    // The backend's own words for one failure, which the log receives.
    const char* Native(const char* sqlite, const char* postgresql) const {
        return Which() == Backend::Sqlite ? sqlite : postgresql;
    }

    // A recordset over the rows of `sql` on `c` (the test's connection when none), with the given
    // lock type.
    com::ComPtr<ado::Recordset> Open(const std::string& sql, ado::LockType lock,
                                     ado::Connection* c = nullptr) const {
        auto rs = ado::Recordset::Create();
        rs->Open(sql, c ? c : conn_.Get(), ado::adOpenStatic, lock);
        return rs;
    }
    // The criteria table ordered by key.
    com::ComPtr<ado::Recordset> OpenCriteria(ado::Connection* c, ado::LockType lock) const {
        return Open("SELECT * FROM MGA0_QUINTAB ORDER BY MGA0_ID", lock, c);
    }

    com::Variant Scalar(const std::string& sql) const {
        return conn_->Execute(sql)->Fields(0).Value();
    }

    // The query's rows, written "v|v;v|v".
    std::string Rows(const std::string& sql) const { return testing_support::Rows(*conn_, sql); }

    testing_support::TempDir folder_{"dravel-ado"};
    std::string connectionString_;
    com::ComPtr<ado::Connection> conn_;
};

// A fixture whose tests (TEST_P, instantiated with DRAVEL_ON_EACH_BACKEND) run on each backend.
class OnEachBackend : public TempDatabase, public ::testing::WithParamInterface<Backend> {
  protected:
    Backend Which() const override { return GetParam(); }
};

}  // namespace dravel::testing
