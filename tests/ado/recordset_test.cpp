// The client cursor: clones over shared rows, requery, and editing in memory.

#include "tests/ado/temp_database.h"

namespace dravel::testing {
namespace {

class RecordsetTest : public OnEachBackend {
  protected:
    void SetUp() override {
        TempDatabase::SetUp();
        AddCriterion(1, 1, 0, 1, "Cliente");
        AddCriterion(2, 1, 0, 2, "Fornitore");
        AddCriterion(3, 1, 1, 1, "Codice articolo");
    }
    static int32_t IdOf(ado::Recordset& rs) { return rs.Fields("MGA0_ID").Value().ToLong(); }
};

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
    EXPECT_EQ(IdOf(*clone), 2);
    EXPECT_EQ(clone->AbsolutePosition(), 1);
    rs->CancelBatch();
    EXPECT_EQ(IdOf(*clone), 2);
    EXPECT_EQ(clone->AbsolutePosition(), 2);

    clone->MoveLast();
    clone->MoveNext();  // at the end: an added row does not put it on a row
    rs->AddNew();
    EXPECT_TRUE(clone->Eof());
    EXPECT_EQ(clone->RecordCount(), 4);
    rs->CancelUpdate();
    EXPECT_TRUE(clone->Eof());
    EXPECT_EQ(clone->RecordCount(), 3);
}

// A row deleted through one cursor while the other edits it: the edit goes with the row.
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
    EXPECT_EQ(rs->RecordCount(), 4);
    EXPECT_EQ(rs->AbsolutePosition(), 1);
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
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(rs->AbsolutePosition(), 2);
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
        [&] { conn_->Execute("SELECT * FROM NO_SUCH_TABLE"); },
        FailsWith(com::err::Database, "Errore del database: l'operazione non è stata eseguita.",
                  ::testing::AllOf(
                      ::testing::HasSubstr(Native("no such table: NO_SUCH_TABLE",
                                                  "relation \"no_such_table\" does not exist")),
                      ::testing::HasSubstr("SELECT * FROM NO_SUCH_TABLE"))));
}

DRAVEL_ON_EACH_BACKEND(RecordsetTest);

}  // namespace
}  // namespace dravel::testing
