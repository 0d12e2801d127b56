// A connection's watcher: what it is told of transactions, statements and written rows, that it
// writes in the watched transaction unwatched, and what a DELETE is about to remove.

#include "platform/ado/watcher.h"
#include "platform/ado/transaction.h"
#include "platform/text/text.h"
#include "tests/ado/temp_database.h"

namespace dravel::testing {
namespace {

// Writes what it hears as one line of words; before each commit it writes a company of its own,
// so that what it writes is seen to stand or fall with the transaction, and then may refuse.
class Listener : public ado::Watcher {
  public:
    void Began(ado::Connection&) override { heard += "begin "; }
    void BeforeStatement(ado::Connection& c, const std::string& sql,
                         const std::vector<com::Variant>& params) override {
        heard += ado::LeadingKeyword(sql) + " ";
        if (auto rows = ado::RowsTouchedBy(sql, params); rows && sql.starts_with("DELETE"))
            heard +=
                "(key " + c.ExecuteWith(rows->sql, rows->params)->Fields(0).Value().ToText() + ") ";
    }
    void AfterStatement(ado::Connection&, const std::string&, const std::vector<com::Variant>&,
                        int32_t rows) override {
        heard += std::to_string(rows) + " ";
    }
    void RowWritten(ado::Connection&, const ado::WrittenRow& row) override {
        heard += "row " + txt::Upper(row.table) + " " +
                 std::to_string(static_cast<int>(row.change)) + " " +
                 std::to_string(row.before.size()) + "/" + std::to_string(row.after.size()) + " ";
    }
    void BeforeCommit(ado::Connection& c) override {
        heard += "commit ";
        c.Execute("INSERT INTO HOST_DITTE (DITTA_CODICE, DITTA_RAGSOC) VALUES (99, 'watcher')");
        if (refuse) throw com::ComError(com::err::Database, "no record");
    }
    void RolledBack(ado::Connection&) noexcept override { heard += "rollback "; }
    std::string heard;
    bool refuse = false;
};

class WatcherTest : public OnEachBackend {
  protected:
    void SetUp() override {
        OnEachBackend::SetUp();
        AddCriterion(1, 1, 0, 1);
        AddCriterion(2, 1, 0, 2);
        watched_ = Connect();
        watched_->SetWatcher(listener_);
    }
    std::string Heard() { return std::exchange(listener_->heard, ""); }
    std::string WatcherCompany() { return Rows("SELECT COUNT(*) FROM HOST_DITTE"); }

    std::shared_ptr<Listener> listener_ = std::make_shared<Listener>();
    com::ComPtr<ado::Connection> watched_;
};

TEST_P(WatcherTest, HearsEachTransactionItsStatementsAndItsEnd) {
    const char* update = "UPDATE MGA0_QUINTAB SET MGA0_DESCR = ? WHERE MGA0_ID = ?";
    const char* remove = "DELETE FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = ? AND MGA0_ID > 1";
    const struct {
        std::function<void(ado::Connection&)> action;
        const char* heard;
        const char* companies;  // the watcher's row kept: its write went with the transaction
    } cases[] = {
        {[&](ado::Connection& c) {
             ado::Transaction t(c);
             c.ExecuteWith(update, {"x", 1});
         },
         "begin UPDATE 1 rollback ", "0"},
        {[&](ado::Connection& c) { c.ExecuteWith(remove, {1}); }, "begin DELETE (key 2) 1 commit ",
         "1"},
        {[&](ado::Connection& c) {
             auto rs = OpenCriteria(&c, ado::adLockOptimistic);
             rs->Fields("MGA0_DESCR").SetValue(com::Variant("y"));
             rs->Update();
         },
         "SELECT 0 begin row MGA0_QUINTAB 1 7/7 commit ", "1"},
        // A watcher that fails before the commit stops it.
        {[&](ado::Connection& c) {
             listener_->refuse = true;
             EXPECT_THROW(c.ExecuteWith(update, {"z", 1}), com::ComError);
         },
         "begin UPDATE 1 commit rollback ", "0"},
    };
    for (const auto& c : cases) {
        conn_->Execute("DELETE FROM HOST_DITTE");
        c.action(*watched_);
        EXPECT_EQ(Heard(), c.heard) << c.heard;
        EXPECT_EQ(WatcherCompany(), c.companies) << c.heard;
    }
}

// A watcher that asks for columns has them from the statement itself: an UPDATE's rows as it left
// them, a DELETE's whole; the statement's count of rows stays what it was.
TEST_P(WatcherTest, AnUpdateOrADeleteReturnsTheColumnsAsked) {
    struct Asking : ado::Watcher {
        std::vector<std::string> ColumnsToReturn(const ado::ChangedTable& t) override {
            if (t.deletes) return {"*"};
            return {"MGA0_ID", "MGA0_DESCR"};
        }
        void RowsReturned(ado::Connection&, const ado::ReturnedRows& r) override {
            heard += txt::Upper(r.table.name) + ":";
            for (const auto& row : r.rows)
                heard += " " + row[0].ToText() + "/" + std::to_string(row.size());
            if (!r.rows.empty()) heard += " " + r.rows[0][1].ToText();
        }
        void AfterStatement(ado::Connection&, const std::string&, const std::vector<com::Variant>&,
                            int32_t rows) override {
            heard += " " + std::to_string(rows);
        }
        std::string heard;
    };
    const std::pair<const char*, const char*> cases[] = {
        {"UPDATE MGA0_QUINTAB SET MGA0_DESCR = ? WHERE MGA0_ID = 2", "MGA0_QUINTAB: 2/2 x 1"},
        {"UPDATE MGA0_QUINTAB SET MGA0_DESCR = ? WHERE MGA0_ID = 9", "MGA0_QUINTAB: 0"},
        {"DELETE FROM MGA0_QUINTAB WHERE MGA0_DESCR = ?", "MGA0_QUINTAB: 2/7 1 1"},
    };
    for (const auto& [sql, heard] : cases) {
        auto asking = std::make_shared<Asking>();
        watched_->SetWatcher(asking);
        watched_->ExecuteWith(sql, {"x"});
        EXPECT_EQ(asking->heard, heard);
    }
}

DRAVEL_ON_EACH_BACKEND(WatcherTest);

TEST(StatementRows, TheRowsAStatementTouchesOrInserts) {
    // The SELECT of each statement's rows; "" when they are not found from its text.
    const std::pair<const char*, const char*> touched[] = {
        {"DELETE FROM T WHERE A = ?", "SELECT * FROM T WHERE A = ?"},
        {"delete from \"T\"", "SELECT * FROM \"T\" "},
        {"UPDATE T SET A = (SELECT B FROM U WHERE C = ?) WHERE D = ?",
         "SELECT T.* FROM T WHERE D = ?"},
        {"UPDATE T SET A = ? WHERE B IS NOT DISTINCT FROM ?",
         "SELECT T.* FROM T WHERE B IS NOT DISTINCT FROM ?"},
        {"UPDATE T\r\n SET A = R.N\r\nFROM (SELECT 1 AS N) AS R\r\nWHERE T.K = R.N",
         "SELECT T.* FROM T, (SELECT 1 AS N) AS R\r\n WHERE T.K = R.N"},
        {"INSERT INTO T (A) VALUES (?)", ""},
    };
    for (const auto& [sql, select] : touched) {
        auto rows = ado::RowsTouchedBy(sql, {1, 2});
        EXPECT_EQ(rows ? rows->sql : "", select) << sql;
    }
    EXPECT_EQ(ado::RowsTouchedBy("UPDATE T SET A = ? WHERE B = ?", {1, 2})->params,
              std::vector<com::Variant>{2});

    // The table's name, deletes, joins; "" when no RETURNING can end the statement.
    const std::pair<const char*, const char*> returnable[] = {
        {"DELETE FROM \"T\" WHERE A = ?", "T 1 0"},
        {"UPDATE T SET A = R.N FROM (SELECT 1 AS N) AS R WHERE T.K = R.N", "T 0 1"},
        {"UPDATE T SET A = ? WHERE B IS DISTINCT FROM ?", "T 0 0"},
        {"UPDATE T SET A = (SELECT B FROM U ORDER BY C LIMIT 1)", "T 0 0"},
        {"DELETE FROM T WHERE A = 1; SELECT 1", ""},
        {"DELETE FROM T WHERE A = 1 RETURNING A", ""},
        {"DELETE FROM T ORDER BY A LIMIT 1", ""},
    };
    for (const auto& [sql, table] : returnable) {
        auto t = ado::ReturnableStatement(sql, {1, 2});
        EXPECT_EQ(
            t ? t->name + " " + std::to_string(t->deletes) + " " + std::to_string(t->joins) : "",
            table)
            << sql;
    }

    auto inserted =
        ado::RowsInsertedBy("INSERT INTO T (A, \"B\") VALUES (?, ?), (?, ?)", {1, 2, 3, 4});
    ASSERT_TRUE(inserted);
    EXPECT_EQ(inserted->columns, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(inserted->rows, (std::vector<ado::detail::RowValues>{{1, 2}, {3, 4}}));
    EXPECT_FALSE(ado::RowsInsertedBy("INSERT INTO T (A) VALUES (1)", {}));
    EXPECT_FALSE(ado::RowsInsertedBy("INSERT INTO T (A) SELECT B FROM U", {}));
}

}  // namespace
}  // namespace dravel::testing
