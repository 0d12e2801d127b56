// The client cursor: positions, clones, requery, editing in memory and move notifications.

#include <gtest/gtest.h>

#include "tests/ado/temp_database.h"

namespace dravel::testing {
namespace {

using ado::Recordset;

class RecordsetTest : public OnEachBackend {
  protected:
    void SetUp() override {
        TempDatabase::SetUp();
        AddCriterion(1, 1, 0, 1, "Cliente");
        AddCriterion(2, 1, 0, 2, "Fornitore");
        AddCriterion(3, 1, 1, 1, "Codice articolo");
    }
};

// Counts the notifications of one recordset.
class MoveCounter : public com::ComObject<MoveCounter, ado::IRecordsetEvents> {
  public:
    com::HRESULT MoveComplete(Recordset* rs) noexcept override {
        ++moves;
        lastPosition = rs->AbsolutePosition();
        return com::S_OK;
    }
    int moves = 0;
    int32_t lastPosition = 0;
};

TEST_P(RecordsetTest, PositionsAndEndsOfTheList) {
    auto rs = OpenCriteria(conn_.Get(), ado::adLockBatchOptimistic);
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_FALSE(rs->Bof());
    EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), 0);
    EXPECT_TRUE(rs->Bof());
    EXPECT_EQ(rs->AbsolutePosition(), ado::adPosBOF);
    EXPECT_EQ(ErrorOf([&] { rs->Fields(0).Value(); }), com::err::NoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), com::err::NoCurrentRecord);

    rs->MoveLast();
    EXPECT_EQ(rs->AbsolutePosition(), 3);
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), com::err::NoCurrentRecord);

    rs->SetAbsolutePosition(2);
    EXPECT_EQ(rs->Fields("mga0_descr").Value(), com::Variant("Fornitore"));
    EXPECT_EQ(ErrorOf([&] { rs->SetAbsolutePosition(0); }), 3001);
    EXPECT_EQ(ErrorOf([&] { rs->SetAbsolutePosition(4); }), 3001);
    EXPECT_EQ(rs->AbsolutePosition(), 2);
    EXPECT_EQ(ErrorOf([&] { rs->Fields("NO_SUCH_COLUMN"); }), com::err::ItemNotFound);
    EXPECT_EQ(rs->Fields("MGA0_DESCR").DefinedSize(), 255);
    EXPECT_EQ(rs->Fields("MGA0_ID").Type(), com::VarType::Long);
}

TEST_P(RecordsetTest, EmptyResultIsAtBothEnds) {
    auto rs = Recordset::Create();
    rs->Open("SELECT * FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = 99", conn_.Get());
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_TRUE(rs->Bof());
    EXPECT_TRUE(rs->Eof());
    rs->MoveFirst();
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), com::err::NoCurrentRecord);
}

TEST_P(RecordsetTest, OpenWithUnspecifiedArgumentsKeepsTheObjectsSettings) {
    auto rs = Recordset::Create();
    rs->SetLockType(ado::adLockOptimistic);
    rs->Open("SELECT * FROM MGA0_QUINTAB", conn_.Get(), -1, -1, -1);
    EXPECT_EQ(rs->GetLockType(), ado::adLockOptimistic);
    EXPECT_EQ(rs->GetCursorType(), ado::adOpenStatic);
    EXPECT_EQ(ErrorOf([&] { rs->SetLockType(ado::adLockReadOnly); }),
              com::err::OperationNotAllowed);
    rs->Close();
    EXPECT_EQ(rs->State(), ado::adStateClosed);
    EXPECT_EQ(ErrorOf([&] { rs->RecordCount(); }), com::err::ObjectClosed);
}

TEST_P(RecordsetTest, CloneSharesRowsButHasItsOwnPosition) {
    auto rs = OpenCriteria(conn_.Get(), ado::adLockBatchOptimistic);
    rs->MoveLast();
    auto clone = rs->Clone();
    EXPECT_EQ(clone->AbsolutePosition(), 1);
    EXPECT_EQ(rs->AbsolutePosition(), 3);
    EXPECT_EQ(clone->GetLockType(), ado::adLockBatchOptimistic);

    clone->SetAbsolutePosition(3);
    clone->Fields("MGA0_DESCR").SetValue("Codice articolo, Deposito (Riga)");
    clone->Update();
    EXPECT_EQ(rs->Fields("MGA0_DESCR").Value(), com::Variant("Codice articolo, Deposito (Riga)"));
    EXPECT_TRUE(rs->HasPendingChanges());
}

// Each cursor stands on a row, not on an index: rows deleted, restored or added through one
// cursor leave the other on the row it was on.
TEST_P(RecordsetTest, CloneStaysOnItsRowWhenTheOtherCursorDeletesOrAdds) {
    auto rs = OpenCriteria(conn_.Get(), ado::adLockBatchOptimistic);
    auto clone = rs->Clone();
    auto idOf = [](Recordset& r) { return r.Fields("MGA0_ID").Value().ToLong(); };
    clone->SetAbsolutePosition(2);
    rs->Delete();  // the first row, pending
    EXPECT_EQ(idOf(*clone), 2);
    EXPECT_EQ(clone->AbsolutePosition(), 1);
    rs->CancelBatch();
    EXPECT_EQ(idOf(*clone), 2);
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
    auto rs = OpenCriteria(conn_.Get(), ado::adLockOptimistic);
    auto clone = rs->Clone();
    clone->Fields("MGA0_DESCR").SetValue("Zona");
    rs->CancelUpdate();  // nothing of its own to cancel
    rs->Delete();
    EXPECT_EQ(clone->GetEditMode(), ado::adEditNone);
    clone->Update();
    clone->CancelUpdate();
    EXPECT_EQ(clone->Fields("MGA0_ID").Value(), com::Variant(2));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM MGA0_QUINTAB"), com::Variant(2));

    auto batch = OpenCriteria(conn_.Get(), ado::adLockBatchOptimistic);
    auto other = batch->Clone();
    other->Fields("MGA0_DESCR").SetValue("Zona");
    batch->Delete();
    batch->UpdateBatch();  // the deleted row is gone from memory too
    EXPECT_EQ(other->GetEditMode(), ado::adEditNone);
    other->Update();
    EXPECT_FALSE(other->HasPendingChanges());
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM MGA0_QUINTAB"), com::Variant(1));
}

TEST_P(RecordsetTest, RequeryReadsAgainAndRefusesToDropChanges) {
    auto rs = OpenCriteria(conn_.Get(), ado::adLockBatchOptimistic);
    rs->MoveLast();
    AddCriterion(4, 2, 0, 1);
    rs->Requery();
    EXPECT_EQ(rs->RecordCount(), 4);
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_EQ(rs->GetLockType(), ado::adLockBatchOptimistic);

    rs->Fields("MGA0_INDPRIOR").SetValue(9);
    rs->Update();
    EXPECT_EQ(ErrorOf([&] { rs->Requery(); }), com::err::OperationNotAllowed);
    EXPECT_EQ(rs->Fields("MGA0_INDPRIOR").Value(), com::Variant(9));
}

TEST_P(RecordsetTest, SetValueConvertsToTheColumnType) {
    auto rs = OpenCriteria(conn_.Get(), ado::adLockOptimistic);
    auto priority = rs->Fields("MGA0_INDPRIOR");
    priority.SetValue(" 12");
    EXPECT_EQ(priority.Value(), com::Variant(12));
    EXPECT_EQ(ErrorOf([&] { priority.SetValue("dodici"); }), com::err::TypeMismatch);
    EXPECT_EQ(priority.Value(), com::Variant(12));
    rs->Fields("MGA0_DESCR").SetValue(7);
    EXPECT_EQ(rs->Fields("MGA0_DESCR").Value(), com::Variant("7"));
    rs->Fields("MG99_IDMEDIA_CG99").SetValue(com::Variant());
    EXPECT_TRUE(rs->Fields("MG99_IDMEDIA_CG99").Value().IsNull());
    rs->Update();
    EXPECT_EQ(Scalar(std::string("SELECT ") +
                     Native("typeof(MGA0_INDPRIOR)", "pg_typeof(MGA0_INDPRIOR)::text") +
                     " FROM MGA0_QUINTAB WHERE MGA0_ID = 1"),
              com::Variant("integer"));
    EXPECT_EQ(Scalar("SELECT MGA0_INDPRIOR FROM MGA0_QUINTAB WHERE MGA0_ID = 1"), com::Variant(12));
}

TEST_P(RecordsetTest, CancelUpdateRestoresTheRowAndLeavesAnAddedRow) {
    auto rs = OpenCriteria(conn_.Get(), ado::adLockBatchOptimistic);
    rs->SetAbsolutePosition(2);
    rs->Fields("MGA0_DESCR").SetValue("Zona");
    EXPECT_EQ(rs->GetEditMode(), ado::adEditInProgress);
    EXPECT_EQ(rs->Fields("MGA0_DESCR").OriginalValue(), com::Variant("Fornitore"));
    rs->CancelUpdate();
    EXPECT_EQ(rs->Fields("MGA0_DESCR").Value(), com::Variant("Fornitore"));
    EXPECT_FALSE(rs->HasPendingChanges());

    rs->AddNew();
    EXPECT_EQ(rs->RecordCount(), 4);
    EXPECT_EQ(rs->AbsolutePosition(), 4);
    EXPECT_TRUE(rs->Fields("MGA0_ID").Value().IsNull());
    rs->CancelUpdate();
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(rs->AbsolutePosition(), 2);
}

TEST_P(RecordsetTest, MoveCompleteFollowsEveryChangeOfTheCurrentRow) {
    auto rs = OpenCriteria(conn_.Get(), ado::adLockBatchOptimistic);
    MoveCounter counter;
    counter.AddRef();  // lives on the stack
    com::EventConnection link;
    ASSERT_TRUE(
        link.Connect<ado::IRecordsetEvents>(static_cast<ado::IRecordset*>(rs.Get()), &counter));

    rs->MoveNext();
    EXPECT_EQ(counter.lastPosition, 2);
    rs->SetAbsolutePosition(3);
    rs->AddNew();
    EXPECT_EQ(counter.lastPosition, 4);
    rs->CancelUpdate();
    rs->Delete();  // the last row: the new last row becomes current
    EXPECT_EQ(counter.lastPosition, 2);
    rs->CancelBatch();
    rs->Requery();
    EXPECT_EQ(counter.lastPosition, 1);
    EXPECT_EQ(counter.moves, 7);
    link.Reset();
    rs->MoveNext();
    EXPECT_EQ(counter.moves, 7);
}

TEST_P(RecordsetTest, ExecuteMaterialisesAReadOnlyResult) {
    int32_t affected = -1;
    auto none = conn_->Execute("UPDATE MGA0_QUINTAB SET MGA0_INDPRIOR = 5 WHERE MGA0_FLGRESO = 0",
                               &affected);
    EXPECT_EQ(affected, 2);
    EXPECT_EQ(none->State(), ado::adStateClosed);

    auto count = conn_->Execute("SELECT COUNT(*) AS N FROM MGA0_QUINTAB");
    EXPECT_EQ(count->State(), ado::adStateOpen);
    EXPECT_EQ(count->Fields("n").Value(), com::Variant(3));
    EXPECT_EQ(ErrorOf([&] { count->Fields(0).SetValue(1); }), com::err::OperationNotAllowed);

    // The user reads what happened; the log gets the database's message and the statement.
    std::string description, detail;
    EXPECT_EQ(
        ErrorOf([&] { conn_->Execute("SELECT * FROM NO_SUCH_TABLE"); }, &description, &detail),
        com::err::Database);
    EXPECT_EQ(description, "Errore del database: l'operazione non è stata eseguita.");
    EXPECT_NE(detail.find(Native("no such table: NO_SUCH_TABLE",
                                 "relation \"no_such_table\" does not exist")),
              std::string::npos)
        << detail;
    EXPECT_NE(detail.find("SELECT * FROM NO_SUCH_TABLE"), std::string::npos);
}

DRAVEL_ON_EACH_BACKEND(RecordsetTest);

}  // namespace
}  // namespace dravel::testing
