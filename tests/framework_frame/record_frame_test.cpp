// The record frame driven through the controls' user side, on a real SQLite file.

#include "frame_fixture.h"

namespace framework::testing {
namespace {

using Events = std::vector<std::string>;
using Lines = std::vector<std::string>;

TEST_F(FrameTest, ShowsRowsInGridAndCurrentRowInControlsAndFollowsCodeMoves) {
    ASSERT_EQ(grid_->LineCount(), 3);
    EXPECT_EQ(grid_->LineCells(2), (Lines{"due", "2"}));
    EXPECT_EQ(grid_->CurrentLine(), 1);
    EXPECT_EQ(frame_->Status(), host::frame_status::Existing);
    EXPECT_EQ(kind_->Text(), "1");
    EXPECT_EQ(kind_->SelectedIndex(), 0);
    EXPECT_EQ(code_->Text(), "A1");

    rs_->MoveNext();  // by code: followed, Null shown as nothing
    EXPECT_EQ(grid_->CurrentLine(), 2);
    EXPECT_EQ(name_->Text(), "due");
    EXPECT_EQ(code_->Text(), "");
    EXPECT_EQ(TakeEvents(), (Events{"AfterMove(-1,0)"}));

    // Inside a direct change the frame looks away; at the end it redraws from the rows.
    frame_->BeginDirectChange();
    rs_->Fields("NAME").SetValue("DUE");
    rs_->MoveNext();
    rs_->UpdateBatch();
    frame_->EndDirectChange();
    EXPECT_TRUE(TakeEvents().empty());
    EXPECT_EQ(grid_->LineCells(2)[0], "DUE");
    EXPECT_EQ(grid_->CurrentLine(), 3);
    EXPECT_EQ(name_->Text(), "tre");
}

// Outside a direct change, code that requeries, deletes or adds rows changes the list itself:
// the grid's lines follow, and its current line is always one of them.
TEST_F(FrameTest, GridFollowsCodeThatChangesTheList) {
    auto other = Connect();
    other->Execute("UPDATE ITEMS SET NAME = 'UNO' WHERE ID = 1");
    rs_->MoveLast();
    rs_->Requery();  // same number of rows, other values
    EXPECT_EQ(grid_->LineCells(1)[0], "UNO");
    EXPECT_EQ(name_->Text(), "UNO");

    other->Execute("INSERT INTO ITEMS VALUES (4, 2, 'quattro', NULL, NULL)");
    rs_->Requery();
    EXPECT_EQ(grid_->LineCount(), 4);

    rs_->MoveLast();
    rs_->Delete();
    EXPECT_EQ(grid_->LineCount(), 3);
    EXPECT_EQ(grid_->CurrentLine(), 3);
    EXPECT_EQ(name_->Text(), "tre");

    rs_->AddNew();
    EXPECT_EQ(grid_->LineCount(), 4);
    EXPECT_EQ(grid_->CurrentLine(), 4);
    EXPECT_EQ(name_->Text(), "");
    rs_->CancelBatch();
    EXPECT_EQ(grid_->LineCount(), 4);  // the pending delete is back, the added row gone
    EXPECT_EQ(grid_->LineCells(4)[0], "quattro");
    EXPECT_EQ(grid_->CurrentLine(), frame_->CurrentRow());
}

TEST_F(FrameTest, ConfirmWritesTheTypedValuesAfterBeforeUpdateSawThem) {
    name_->UserType("primo");
    code_->UserType("b7");  // upper case field
    EXPECT_TRUE(frame_->Modified());
    EXPECT_TRUE(bar_->ChangesPending());
    EXPECT_EQ(frame_->Status(), host::frame_status::Existing);

    std::string seen;
    sink_->onBeforeUpdate = [&] {
        seen = rs_->Fields("NAME").Value().ToText() + "/" +
               rs_->Fields("NAME").UnderlyingValue().ToText();
    };
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(seen, "primo/uno");
    EXPECT_EQ(TakeEvents(),
              (Events{"BeforeUpdate", "AfterUpdate(-1)", "ButtonAction(-1,Conferma)"}));
    EXPECT_EQ(Stored(), (Lines{"1 1 primo B7 10", "2 2 due - -", "3 1 tre C3 30"}));
    EXPECT_FALSE(frame_->Modified());
    EXPECT_FALSE(bar_->ChangesPending());
    EXPECT_FALSE(bar_->KeyEnabled(host::nav_key::Confirm));
    EXPECT_EQ(grid_->LineCells(1)[0], "primo");
    EXPECT_TRUE(Messages().empty());
}

// A control that shows a value its own way (here in upper case) writes it back only when edited.
TEST_F(FrameTest, AFieldTheUserLeftAloneKeepsItsStoredText) {
    conn_->Execute("UPDATE ITEMS SET CODE = 'a1' WHERE ID = 1");
    rs_->Requery();
    EXPECT_EQ(code_->DisplayText(), "A1");
    name_->UserType("primo");
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(Stored()[0], "1 1 primo a1 10");
}

TEST_F(FrameTest, RefusedSavesKeepTheEditAndWriteNothing) {
    const Lines before = Stored();
    name_->UserType("nuovo nome");

    sink_->cancelUpdate = true;  // the handler cancels
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(TakeEvents(), (Events{"BeforeUpdate", "ButtonAction(0,Conferma)"}));

    sink_->cancelUpdate = false;  // the handler fails
    sink_->failOn = "BeforeUpdate";
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(TakeEvents(), (Events{"BeforeUpdate", "AfterUpdate(0)", "ButtonAction(0,Conferma)"}));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Regola violata");
    EXPECT_EQ(Messages()[0].flags, 16);

    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(name_->Text(), "nuovo nome");
    EXPECT_TRUE(frame_->Modified());

    sink_->failOn.clear();
    EXPECT_TRUE(frame_->SaveRecord(true, true, true));
    EXPECT_EQ(Stored()[0], "1 1 nuovo nome A1 10");
}

// A refused save leaves the edit in the controls only: the row keeps what it held, so a move
// made by code afterwards does not turn the refused values into a pending change that the next
// save of another row writes.
TEST_F(FrameTest, RefusedSaveLeavesNothingInTheRowForALaterSaveToWrite) {
    auto loose = MakeEdit("TXT_QTY_TEXT", "QTY", "Quantità libera", 10);  // no numeric check
    frame_->BindControl(loose.Get(), nullptr);
    auto refuse = [&] {
        name_->UserType("rifiutato");
        bar_->UserPress(host::nav_key::Confirm);
        EXPECT_EQ(TakeEvents().back(), "ButtonAction(0,Conferma)");
        EXPECT_EQ(rs_->Fields("NAME").Value(), com::Variant("uno"));
        EXPECT_EQ(name_->Text(), "rifiutato");
        EXPECT_TRUE(frame_->Modified());
    };
    sink_->cancelUpdate = true;
    refuse();
    sink_->cancelUpdate = false;
    sink_->failOn = "BeforeUpdate";
    refuse();
    sink_->failOn.clear();
    loose->UserType("dieci");  // NAME is copied, then QTY fails to convert
    refuse();
    EXPECT_EQ(Messages().back().text, "Column QTY expects a number, not \"dieci\"");

    rs_->MoveNext();  // by code: followed, the edit on screen given up
    name_->UserType("due bis");
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(Stored(), (Lines{"1 1 uno A1 10", "2 2 due bis - -", "3 1 tre C3 30"}));
}

TEST_F(FrameTest, ValidationShowsTheMessageAtTheFirstFailingControl) {
    const Lines before = Stored();
    name_->UserType("");
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(TakeEvents(), (Events{"ValidateRecord", "ButtonAction(0,Conferma)"}));
    EXPECT_EQ(sink_->validatedField, "NAME");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Campo obbligatorio: Nome");
    EXPECT_EQ(Messages()[0].flags, 48);
    EXPECT_EQ(Messages()[0].title, "Attenzione");

    sink_->personalizedMessage = "Scrivere il nome";
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(Messages().back().text, "Scrivere il nome");

    name_->UserType("un nome di oltre venti");
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(sink_->validatedField, "NAME");

    name_->UserType("ok");
    EXPECT_THROW(qty_->UserType("12a"), com::ComError);  // the field takes only digits
    qty_->SetText("x1");                                 // code may put anything there
    sink_->personalizedMessage.clear();
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(Messages().back().text, "Il campo Quantità deve contenere un numero intero");
    EXPECT_EQ(Stored(), before);
}

TEST_F(FrameTest, NewRowGetsTheHandlersDefaultsAndIsInsertedOnConfirm) {
    sink_->onAfterAddNew = [&] { rs_->Fields("KIND").SetValue(int32_t{2}); };
    bar_->UserPress(host::nav_key::New);
    EXPECT_EQ(TakeEvents(),
              (Events{"ChangeStatus(2,4)", "AfterAddNew(-1)", "ButtonAction(-1,Nuovo)"}));
    EXPECT_EQ(frame_->Status(), host::frame_status::New);
    EXPECT_EQ(kind_->Text(), "2");
    EXPECT_EQ(kind_->SelectedIndex(), 1);
    EXPECT_EQ(name_->Text(), "");
    EXPECT_FALSE(bar_->KeyEnabled(host::nav_key::Delete));

    bar_->UserPress(host::nav_key::Confirm);  // the name is required
    EXPECT_EQ(Messages().back().text, "Campo obbligatorio: Nome");
    EXPECT_EQ(Stored().size(), 3u);

    name_->UserType("quattro");
    kind_->UserChooseValue(int32_t{1});
    TakeEvents();
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(TakeEvents(), (Events{"BeforeUpdate", "ChangeStatus(0,7)", "AfterUpdate(-1)",
                                    "ButtonAction(-1,Conferma)"}));
    EXPECT_EQ(Stored().back(), "4 1 quattro - -");
    EXPECT_EQ(frame_->Status(), host::frame_status::Existing);
    EXPECT_EQ(grid_->LineCount(), 4);
    EXPECT_EQ(grid_->CurrentLine(), 4);
}

TEST_F(FrameTest, UndoDropsTheEditOrTheNewRow) {
    rs_->MoveNext();
    name_->UserType("cambiato");
    TakeEvents();
    bar_->UserPress(host::nav_key::Undo);
    EXPECT_EQ(TakeEvents(), (Events{"AfterUndo(-1)", "ButtonAction(-1,Annulla)"}));
    EXPECT_EQ(name_->Text(), "due");
    EXPECT_FALSE(frame_->Modified());

    bar_->UserPress(host::nav_key::New);
    name_->UserType("mai salvato");
    TakeEvents();
    bar_->UserPress(host::nav_key::Undo);
    EXPECT_EQ(TakeEvents(),
              (Events{"ChangeStatus(0,6)", "AfterUndo(-1)", "ButtonAction(-1,Annulla)"}));
    EXPECT_EQ(frame_->CurrentRow(), 2);
    EXPECT_EQ(name_->Text(), "due");
    EXPECT_EQ(grid_->LineCount(), 3);
    EXPECT_EQ(Stored().size(), 3u);
}

TEST_F(FrameTest, DeleteAsksTheHandlerThenMakesTheNeighbourCurrent) {
    rs_->MoveNext();
    TakeEvents();
    sink_->cancelDelete = true;
    bar_->UserPress(host::nav_key::Delete);
    EXPECT_EQ(TakeEvents(), (Events{"BeforeDelete", "ButtonAction(0,Elimina)"}));
    EXPECT_EQ(Stored().size(), 3u);

    sink_->cancelDelete = false;
    bar_->UserPress(host::nav_key::Delete);
    EXPECT_EQ(TakeEvents(),
              (Events{"BeforeDelete", "AfterDelete(-1)", "ButtonAction(-1,Elimina)"}));
    EXPECT_EQ(Stored(), (Lines{"1 1 uno A1 10", "3 1 tre C3 30"}));
    EXPECT_EQ(name_->Text(), "tre");
    EXPECT_EQ(grid_->LineCount(), 2);
    EXPECT_EQ(grid_->CurrentLine(), 2);

    bar_->UserPress(host::nav_key::Delete);  // the last row: the new last one follows
    EXPECT_EQ(name_->Text(), "uno");
    bar_->UserPress(host::nav_key::Delete);
    EXPECT_EQ(frame_->Status(), host::frame_status::Empty);
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(grid_->LineCount(), 0);
    EXPECT_FALSE(bar_->KeyEnabled(host::nav_key::Delete));
}

TEST_F(FrameTest, MovesTheUserAsksForSettleFirstAndStayWhenRefused) {
    bar_->SetAutoMoves(false, true, true);
    name_->UserType("");
    bar_->UserPress(host::nav_key::Next);  // refused: the name is required
    EXPECT_EQ(TakeEvents(), (Events{"ValidateRecord", "ButtonAction(0,Avanti)"}));
    grid_->UserSelectLine(3);
    EXPECT_EQ(grid_->CurrentLine(), 1);
    EXPECT_EQ(frame_->CurrentRow(), 1);
    EXPECT_EQ(name_->Text(), "");

    name_->UserType("uno bis");
    TakeEvents();
    grid_->UserSelectLine(3);  // saved, then moved
    EXPECT_EQ(TakeEvents(), (Events{"BeforeUpdate", "AfterUpdate(-1)", "AfterMove(-1,3)"}));
    EXPECT_EQ(grid_->CurrentLine(), 3);
    EXPECT_EQ(Stored()[0], "1 1 uno bis A1 10");

    EXPECT_TRUE(frame_->MovePrevious(true, true));
    EXPECT_EQ(name_->Text(), "due");
    EXPECT_FALSE(frame_->MovePrevious(true, true) && frame_->MovePrevious(true, true));
    EXPECT_EQ(frame_->CurrentRow(), 1);
    EXPECT_FALSE(bar_->KeyEnabled(host::nav_key::Previous));
}

TEST_F(FrameTest, ConflictWithAnotherConnectionKeepsTheEditAndTheDatabase) {
    Connect()->Execute("UPDATE ITEMS SET NAME = 'altrove' WHERE ID = 1");
    name_->UserType("mio");
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(TakeEvents(), (Events{"BeforeUpdate", "AfterUpdate(0)", "ButtonAction(0,Conferma)"}));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].flags, 16);
    EXPECT_FALSE(Messages()[0].text.empty());
    EXPECT_EQ(Stored()[0], "1 1 altrove A1 10");
    EXPECT_EQ(name_->Text(), "mio");
    EXPECT_EQ(rs_->Fields("NAME").Value().ToText(), "mio");
    EXPECT_TRUE(frame_->Modified());
    EXPECT_FALSE(frame_->SaveRecord(true, true, true));  // still in conflict, still kept

    // Undoing shows the row as stored now, with the other user's change, and saves again.
    bar_->UserPress(host::nav_key::Undo);
    EXPECT_FALSE(frame_->Modified());
    EXPECT_EQ(name_->Text(), "altrove");
    name_->UserType("mio");
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(Stored()[0], "1 1 mio A1 10");
}

// The window's AfterUpdate reloads the list and puts the frame back on the saved row.
TEST_F(FrameTest, AfterUpdateHandlerThatReloadsAndRepositionsDoesNotSettleAgain) {
    rs_->MoveLast();
    bool nestedSave = true, nestedSaveBefore = true;
    sink_->onBeforeUpdate = [&] { nestedSaveBefore = frame_->SaveRecord(true, true, true); };
    sink_->onAfterUpdate = [&] {
        const int32_t id = rs_->Fields("ID").Value().ToLong();
        nestedSave = frame_->SaveRecord(true, true, true);
        frame_->DetachSource();
        rs_->Close();
        rs_->Open(kSql, conn_.Get());
        frame_->AttachSource(kSql);
        auto clone = rs_->Clone();
        for (clone->MoveFirst(); clone->Fields("ID").Value().ToLong() != id;) clone->MoveNext();
        rs_->SetAbsolutePosition(clone->AbsolutePosition());
        frame_->RefreshRow(true, true);
        frame_->SetModified(false);
    };
    name_->UserType("ultimo");
    TakeEvents();
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_FALSE(nestedSaveBefore);  // the row is being settled: not written twice
    EXPECT_TRUE(nestedSave);         // the row was clean by then
    EXPECT_EQ(TakeEvents(), (Events{"BeforeUpdate", "AfterUpdate(-1)", "AfterMove(-1,8)",
                                    "AfterMove(-1,0)", "ButtonAction(-1,Conferma)"}));
    EXPECT_EQ(frame_->CurrentRow(), 3);
    EXPECT_EQ(grid_->CurrentLine(), 3);
    EXPECT_EQ(name_->Text(), "ultimo");
    EXPECT_EQ(Stored()[2], "3 1 ultimo C3 30");
}

TEST_F(FrameTest, BarRefusesUnknownAndDisabledKeysNamingThem) {
    std::string what;
    try {
        bar_->UserPress("Ultimo");
    } catch (const com::ComError& e) {
        what = e.Description();
    }
    EXPECT_NE(what.find("Ultimo"), std::string::npos);
    try {
        bar_->UserPress(host::nav_key::Confirm);  // nothing to confirm on a clean row
    } catch (const com::ComError& e) {
        what = e.Description();
    }
    EXPECT_NE(what.find("Conferma"), std::string::npos);
    EXPECT_TRUE(TakeEvents().empty());
}

TEST_F(FrameTest, DatabaseHoldsExactlyWhatWasConfirmed) {
    name_->UserType("uno!");
    bar_->UserPress(host::nav_key::Confirm);
    rs_->MoveNext();
    name_->UserType("scartato");
    bar_->UserPress(host::nav_key::Undo);
    bar_->UserPress(host::nav_key::New);
    kind_->UserChooseIndex(1);
    name_->UserType("nuovo");
    qty_->UserType("-4");
    bar_->UserPress(host::nav_key::Confirm);
    grid_->UserSelectLine(3);
    bar_->UserPress(host::nav_key::Delete);
    EXPECT_EQ(Stored(), (Lines{"1 1 uno! A1 10", "2 2 due - -", "4 2 nuovo - -4"}));
    EXPECT_EQ(grid_->LineCount(), 3);
    EXPECT_EQ(name_->Text(), "nuovo");
}

}  // namespace
}  // namespace framework::testing
