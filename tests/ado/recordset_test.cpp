// The client cursor: clones over shared rows, requery and editing in memory; writing rows back,
// immediate and batch updates, generated keys, and conflicts between two connections on one
// database.

#include <chrono>
#include <future>
#include <optional>

#include "platform/ado/backend.h"
#include "platform/ado/transaction.h"
#include "tests/ado/temp_database.h"

namespace dravel::testing {
namespace {

using ::testing::_;
using ::testing::HasSubstr;

class RecordsetTest : public OnEachBackend {
  protected:
    void SetUp() override {
        TempDatabase::SetUp();
        AddCriterion(1, 1, 0, 1, "Cliente");
        AddCriterion(2, 1, 0, 2, "Fornitore");
        AddCriterion(3, 1, 1, 1, "Codice articolo");
    }
    static int32_t IdOf(ado::Recordset& rs) { return rs.Fields("MGA0_ID").Value().ToLong(); }
    // Where the cursor stands: "key K, P of N", or "end of N".
    static std::string Place(ado::Recordset& rs) {
        const std::string of = " of " + std::to_string(rs.RecordCount());
        return rs.Eof() ? "end" + of
                        : "key " + std::to_string(IdOf(rs)) + ", " +
                              std::to_string(rs.AbsolutePosition()) + of;
    }
};
using WriteBackTest = RecordsetTest;

// Each cursor stands on a row, not on an index: rows edited, deleted, restored or added through
// one cursor are seen by the other, which stays on the row it was on.
TEST_P(RecordsetTest, ACloneSharesTheRowsAndStaysOnItsRow) {
    auto rs = OpenCriteria(conn_.Get(), ado::adLockBatchOptimistic);
    auto clone = rs->Clone();
    clone->SetAbsolutePosition(3);
    clone->Fields("MGA0_DESCR").SetValue("Deposito (Riga)");
    clone->SetAbsolutePosition(2);
    rs->MoveLast();
    EXPECT_EQ(rs->Fields("MGA0_DESCR").Value(), com::Variant("Deposito (Riga)"));
    EXPECT_TRUE(rs->HasPendingChanges());
    rs->MoveFirst();
    rs->Delete();  // the first row, pending
    EXPECT_EQ(Place(*clone), "key 2, 1 of 2");
    rs->CancelBatch();
    EXPECT_EQ(Place(*clone), "key 2, 2 of 3");

    clone->MoveLast();
    clone->MoveNext();  // at the end: an added row does not put it on a row
    rs->AddNew();
    EXPECT_EQ(Place(*clone), "end of 4");
    rs->CancelUpdate();
    EXPECT_EQ(Place(*clone), "end of 3");
}

TEST_P(RecordsetTest, EditOfARowDeletedThroughTheOtherCursorIsDropped) {
    for (auto lock : {ado::adLockOptimistic, ado::adLockBatchOptimistic}) {
        auto rs = OpenCriteria(conn_.Get(), lock);
        auto other = rs->Clone();
        other->Fields("MGA0_DESCR").SetValue("Zona");
        rs->CancelUpdate();  // nothing of its own to cancel
        rs->Delete();
        EXPECT_EQ(IdOf(*other), IdOf(*rs));  // both on the row that followed
        if (lock == ado::adLockBatchOptimistic) rs->UpdateBatch();
        EXPECT_EQ(other->GetEditMode(), ado::adEditNone);
        other->Update();
        EXPECT_FALSE(other->HasPendingChanges());
    }
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM MGA0_QUINTAB"), com::Variant(1));
}

TEST_P(RecordsetTest, RequeryReadsAgainAndRefusesToDropChanges) {
    auto rs = OpenCriteria(conn_.Get(), ado::adLockBatchOptimistic);
    rs->MoveLast();
    AddCriterion(4, 2, 0, 1);
    rs->Requery();
    EXPECT_EQ(Place(*rs), "key 1, 1 of 4");
    EXPECT_THAT([&] { rs->SetAbsolutePosition(5); }, FailsWith(3001));
    rs->Fields("MGA0_INDPRIOR").SetValue(9);
    rs->Update();
    EXPECT_THAT([&] { rs->Requery(); }, FailsWith(com::err::OperationNotAllowed));
    EXPECT_EQ(rs->Fields("MGA0_INDPRIOR").Value(), com::Variant(9));
}

TEST_P(RecordsetTest, SetValueConvertsToTheColumnTypeAndCancelUpdateRestores) {
    auto rs = OpenCriteria(conn_.Get(), ado::adLockOptimistic);
    auto priority = rs->Fields("MGA0_INDPRIOR");
    priority.SetValue(" 12");
    EXPECT_EQ(priority.Value(), com::Variant(12));
    EXPECT_THAT([&] { priority.SetValue("dodici"); }, FailsWith(com::err::TypeMismatch));
    rs->Fields("MGA0_DESCR").SetValue(7);
    EXPECT_EQ(rs->Fields("MGA0_DESCR").Value(), com::Variant("7"));
    EXPECT_EQ(rs->Fields("MGA0_DESCR").OriginalValue(), com::Variant("Cliente"));
    rs->Fields("MG99_IDMEDIA_CG99").SetValue(com::Variant());
    EXPECT_TRUE(rs->Fields("MG99_IDMEDIA_CG99").Value().IsNull());
    rs->CancelUpdate();
    EXPECT_EQ(rs->Fields("MGA0_DESCR").Value(), com::Variant("Cliente"));
    priority.SetValue(" 12");
    rs->Update();
    EXPECT_EQ(Scalar(std::string("SELECT ") +
                     Native("typeof(MGA0_INDPRIOR)", "pg_typeof(MGA0_INDPRIOR)::text") +
                     " FROM MGA0_QUINTAB WHERE MGA0_ID = 1"),
              com::Variant("integer"));

    rs->SetAbsolutePosition(2);
    rs->AddNew();
    EXPECT_EQ(rs->AbsolutePosition(), 4);
    EXPECT_TRUE(rs->Fields("MGA0_ID").Value().IsNull());
    rs->CancelUpdate();
    EXPECT_EQ(Place(*rs), "key 2, 2 of 3");
}

TEST_P(RecordsetTest, ExecuteMaterialisesAReadOnlyResultAndAFailureKeepsTheStatementForTheLog) {
    int32_t affected = -1;
    auto none = conn_->Execute("UPDATE MGA0_QUINTAB SET MGA0_INDPRIOR = 5 WHERE MGA0_FLGRESO = 0",
                               &affected);
    EXPECT_EQ(affected, 2);
    EXPECT_EQ(none->State(), ado::adStateClosed);
    auto count = conn_->Execute("SELECT COUNT(*) AS N FROM MGA0_QUINTAB");
    EXPECT_EQ(count->Fields("n").Value(), com::Variant(3));
    EXPECT_THAT([&] { count->Fields(0).SetValue(1); }, FailsWith(com::err::OperationNotAllowed));
    // The user reads what happened; the log gets the database's message and the statement.
    EXPECT_THAT(
        [&] { conn_->Execute("SELECT NO_SUCH_COLUMN FROM MGA0_QUINTAB"); },
        FailsWith(com::err::Database, "Errore del database: l'operazione non è stata eseguita.",
                  ::testing::AllOf(HasSubstr(Native("no such column: NO_SUCH_COLUMN",
                                                    "column \"no_such_column\" does not exist")),
                                   HasSubstr("SELECT NO_SUCH_COLUMN FROM MGA0_QUINTAB"))));
}

// Statements are kept prepared for their next run: a run sees its own parameters, a refused run
// leaves nothing behind for the next one, a query run again after its table changed (here or by
// another user) reads the table as it is, and a text of two statements runs both every time.
TEST_P(RecordsetTest, AStatementRunAgainTakesItsNewParametersAndRunsWhole) {
    const std::string move = "UPDATE MGA0_QUINTAB SET MGA0_INDPRIOR = ? WHERE MGA0_ID = ?";
    for (int32_t priority : {7, 8}) conn_->ExecuteWith(move, {priority, 1});
    EXPECT_EQ(Scalar("SELECT MGA0_INDPRIOR FROM MGA0_QUINTAB WHERE MGA0_ID = 1"), com::Variant(8));
    const std::string add =
        "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO) VALUES (?, 1, 0)";
    EXPECT_ANY_THROW(conn_->ExecuteWith(add, {1}));
    conn_->ExecuteWith(add, {9});
    EXPECT_EQ(Rows("SELECT COUNT(*) FROM MGA0_QUINTAB"), "4");
    const std::string one = "SELECT * FROM MGA0_QUINTAB WHERE MGA0_ID = ?";
    int columns = 0;
    for (int run = 0; run < 2; ++run) columns = conn_->ExecuteWith(one, {1})->FieldCount();
    ado::Transaction upgrade(*conn_);
    conn_->Execute("ALTER TABLE MGA0_QUINTAB ADD COLUMN MGA0_NOTE INTEGER");
    EXPECT_EQ(conn_->ExecuteWith(one, {1})->FieldCount(), columns + 1);
    upgrade.Commit();
    EXPECT_EQ(conn_->ExecuteWith(one, {1})->FieldCount(), columns + 1);
    Connect()->Execute("ALTER TABLE MGA0_QUINTAB ADD COLUMN MGA0_ALTRO INTEGER");  // another user
    EXPECT_EQ(conn_->ExecuteWith(one, {1})->FieldCount(), columns + 2);
    if (GetParam() != Backend::Sqlite) return;  // a server takes one statement at a time
    const std::string both =
        "UPDATE MGA0_QUINTAB SET MGA0_INDPRIOR = MGA0_INDPRIOR + 1 WHERE MGA0_ID = 2; "
        "UPDATE MGA0_QUINTAB SET MGA0_INDPRIOR = MGA0_INDPRIOR + 1 WHERE MGA0_ID = 3";
    for (int run = 0; run < 2; ++run) conn_->Execute(both);
    EXPECT_EQ(Scalar("SELECT MGA0_INDPRIOR FROM MGA0_QUINTAB WHERE MGA0_ID = 3"), com::Variant(3));
}

DRAVEL_ON_EACH_BACKEND(RecordsetTest);

// A new row deleted before the batch is sent never reaches the database; a cancelled batch
// takes its new rows away.
TEST_P(WriteBackTest, BatchSendsEverythingInOneGoOrCancelsEverything) {
    auto rs = OpenCriteria(conn_.Get(), ado::adLockBatchOptimistic);
    auto pend = [&] {  // a change and two new rows, the second deleted again
        rs->Fields("MGA0_INDPRIOR").SetValue(2);
        for (int32_t company : {3, 2}) {
            rs->AddNew();
            rs->Fields("MGA0_DITTA_CG18").SetValue(company);
            rs->Fields("MGA0_FLGRESO").SetValue(0);
            rs->Update();
        }
        rs->Delete();
    };
    pend();
    rs->CancelBatch();
    EXPECT_EQ(rs->RecordCount(), 3);
    rs->MoveFirst();
    pend();
    rs->UpdateBatch();
    EXPECT_EQ(Rows("SELECT MGA0_DITTA_CG18, MGA0_INDPRIOR FROM MGA0_QUINTAB ORDER BY MGA0_ID"),
              "1|2;1|2;1|1;3|NULL");
}

// An update or a delete matches the row as it was read: what another user changed since is
// neither overwritten nor deleted unseen.
TEST_P(WriteBackTest, ARowChangedByAnotherUserIsNeitherOverwrittenNorDeleted) {
    auto saving = OpenCriteria(conn_.Get(), ado::adLockOptimistic);
    auto deleting = OpenCriteria(conn_.Get(), ado::adLockBatchOptimistic);
    Connect()->Execute("UPDATE MGA0_QUINTAB SET MGA0_DESCR = 'Cliente, Zona' WHERE MGA0_ID = 1");
    saving->Fields("MGA0_DESCR").SetValue("Cliente, Area");
    // The table and key as the database names them (PostgreSQL folds them to lower case).
    EXPECT_THAT(
        [&] { saving->Update(); },
        FailsWith(com::err::RowConflict, _,
                  HasSubstr(Native("MGA0_QUINTAB, MGA0_ID = 1", "mga0_quintab, mga0_id = 1"))));
    EXPECT_EQ(saving->Fields("MGA0_DESCR").UnderlyingValue(), com::Variant("Cliente, Zona"));
    deleting->Delete();
    EXPECT_THAT([&] { deleting->UpdateBatch(); }, FailsWith(com::err::RowConflict));
    EXPECT_EQ(Rows("SELECT MGA0_DESCR FROM MGA0_QUINTAB ORDER BY MGA0_ID"),
              "Cliente, Zona;Fornitore;Codice articolo");
}

// Held up longer than its connection's timeout (here one of 1 s, on the provider's own
// connection), a unit of work gives up as busy: it never waits for ever behind a user whose
// program hangs.
TEST_P(WriteBackTest, AUnitOfWorkHeldUpPastItsTimeoutGivesUpAsBusy) {
    std::optional<ado::Transaction> first(std::in_place, *conn_);
    auto other = ado::detail::OpenProvider(connectionString_, 1);
    bool busy = false;
    std::string failure = "the second unit of work began";
    auto second = std::async(std::launch::async, [&] {
        try {
            other->Begin(true);
        } catch (const com::ComError& e) {
            busy = other->IsBusy(e);
            failure = e.Description();
        }
    });
    const bool gaveUp = second.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    first.reset();  // a second one still waiting goes on, and the test ends
    second.wait();
    EXPECT_TRUE(gaveUp) << "still waiting after 5 s";
    EXPECT_TRUE(busy) << failure;
}

// Another program may store a text column's value as bytes (SQLite's own: a PostgreSQL text
// column holds text only): read as text, it is matched as text.
class SqliteWriteBack : public RecordsetTest {};

TEST_P(SqliteWriteBack, AValueStoredAsBytesIsNoConflict) {
    conn_->Execute("UPDATE MGA0_QUINTAB SET MGA0_DESCR = CAST('Cliente' AS BLOB)");
    auto rs = OpenCriteria(conn_.Get(), ado::adLockOptimistic);
    rs->Fields("MGA0_DESCR").SetValue("Cliente, Zona");
    rs->Update();
    rs->MoveNext();
    rs->Delete();
    EXPECT_EQ(Rows("SELECT MGA0_DESCR FROM MGA0_QUINTAB ORDER BY MGA0_ID"),
              "Cliente, Zona;Cliente");
}

// Rows are written back by a key of one column, found under any table name; a key of two columns
// identifies no row by one of them.
TEST_P(SqliteWriteBack, OnlyAOneColumnKeyWritesRowsBack) {
    conn_->Execute("CREATE TABLE \"Q\"\"T\" (V TEXT, K INTEGER PRIMARY KEY)");
    conn_->Execute("INSERT INTO \"Q\"\"T\" VALUES ('a', 7)");
    conn_->Execute("CREATE TABLE PAIR (A INTEGER, B INTEGER, V TEXT, PRIMARY KEY (B, A))");
    conn_->Execute("INSERT INTO PAIR VALUES (1, 1, 'a')");
    auto quoted = Open("SELECT V, K FROM \"Q\"\"T\"", ado::adLockOptimistic);
    quoted->Fields("V").SetValue("b");
    quoted->Update();
    EXPECT_EQ(Rows("SELECT V, K FROM \"Q\"\"T\""), "b|7");
    for (const char* sql : {"SELECT A, V FROM PAIR", "SELECT A, B, V FROM PAIR"})
        EXPECT_THAT(
            [&] {
                auto rs = Open(sql, ado::adLockOptimistic);
                rs->Fields("V").SetValue("b");
                rs->Update();
            },
            FailsWith(com::err::OperationNotAllowed))
            << sql;
}

// Keys have five digits: once 99999 is taken a new row takes the lowest free key.
TEST_P(WriteBackTest, ANewRowFindsAFreeKeyWhenTheLargestIsTaken) {
    AddCriterion(99999, 2, 0, 1);
    auto rs = OpenCriteria(conn_.Get(), ado::adLockOptimistic);
    rs->AddNew();
    rs->Fields("MGA0_DITTA_CG18").SetValue(1);
    rs->Fields("MGA0_FLGRESO").SetValue(0);
    rs->Update();
    EXPECT_EQ(rs->Fields("MGA0_ID").Value(), com::Variant(4));
}

DRAVEL_ON_EACH_BACKEND(WriteBackTest);
INSTANTIATE_TEST_SUITE_P(, SqliteWriteBack, ::testing::Values(Backend::Sqlite),
                         ::testing::PrintToStringParamName());

}  // namespace
}  // namespace dravel::testing
