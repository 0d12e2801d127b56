// The record frame on a real SQLite file, where the window that uses it cannot show it: handlers
// that refuse or fail, another user's change, and handlers that reload the list themselves.

#include "frame_fixture.h"
#include "tests/support/error_matchers.h"

namespace framework::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing_support::FailsWith;

// A move made by code is followed; inside a direct change the frame looks away, and at its end
// redraws the grid and the controls from the rows.
TEST_F(FrameTest, FollowsMovesByCodeExceptInsideADirectChange) {
    rs_->MoveNext();
    EXPECT_EQ(grid_->CurrentLine(), 2);
    EXPECT_EQ(name_->Text() + "|" + code_->Text(), "due|");  // Null shown as nothing
    EXPECT_THAT(TakeEvents(), ElementsAre("AfterMove(-1,0)"));
    frame_->BeginDirectChange();
    rs_->Fields("NAME").SetValue("DUE");
    rs_->MoveFirst();
    rs_->UpdateBatch();
    EXPECT_TRUE(TakeEvents().empty());
    EXPECT_EQ(name_->Text(), "due");
    frame_->EndDirectChange();
    EXPECT_EQ(grid_->LineCells(2)[0], "DUE");
    EXPECT_EQ(grid_->CurrentLine(), 1);
    EXPECT_EQ(name_->Text(), "uno");
}

// However a save is refused, the edit stays on the screen only: the database and the row keep
// what they held, so that no later save, of this row or another, writes the refused values.
TEST_F(FrameTest, ARefusedSaveKeepsTheEditOnScreenAndWritesNothing) {
    const auto before = Stored();
    const struct {
        const char* why;
        std::function<void()> refuse, allow;
        const char* message;
    } ways[] = {
        {"the handler cancels", [&] { sink_->cancel = true; }, [&] { sink_->cancel = false; }, ""},
        {"the handler fails", [&] { sink_->failOn = "BeforeUpdate"; },
         [&] { sink_->failOn.clear(); }, "Regola violata"},
        {"a text that is no number", [&] { qty_->UserType("dieci"); },
         [&] { qty_->UserType("10"); }, "Column QTY expects a number, not \"dieci\""},
    };
    for (const auto& w : ways) {
        name_->UserType("rifiutato");
        w.refuse();
        bar_->UserPress(host::nav_key::Confirm);
        auto events = TakeEvents();
        EXPECT_EQ(events.back(), "ButtonAction(0,Conferma)") << w.why;
        EXPECT_THAT(events, ::testing::Not(::testing::Contains("AfterUpdate(-1)"))) << w.why;
        if (*w.message) {
            EXPECT_EQ(Messages().back().text, w.message);
            EXPECT_EQ(Messages().back().flags, 16);  // the stop sign
        }
        EXPECT_EQ(rs_->Fields("NAME").Value(), com::Variant("uno")) << w.why;
        EXPECT_EQ(name_->Text(), "rifiutato");
        EXPECT_TRUE(frame_->Modified());
        EXPECT_EQ(Stored(), before);
        w.allow();
    }
    rs_->MoveNext();  // by code: followed, the edit on screen given up
    name_->UserType("due bis");
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(Stored(), "1|uno|a1|10;2|due bis|NULL|NULL");
}

// A field shown its own way (here in upper case) is written back only when the user edited it.
TEST_F(FrameTest, ASaveWritesWhatTheUserTypedAndLeavesTheOtherFieldsAsStored) {
    EXPECT_EQ(code_->DisplayText(), "A1");
    name_->UserType("primo");
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(Stored(), "1|primo|a1|10;2|due|NULL|NULL");
    code_->UserType("b7");
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_EQ(Stored(), "1|primo|B7|10;2|due|NULL|NULL");
}

// The bar offers only what can be done: no way back from the first row, nothing to confirm without
// an edit, no button of another name.
TEST_F(FrameTest, TheBarRefusesWhatCannotBeDone) {
    EXPECT_FALSE(bar_->KeyEnabled(host::nav_key::Previous));
    EXPECT_THAT([&] { bar_->UserPress("Ultimo"); }, FailsWith(::testing::_, HasSubstr("Ultimo")));
    EXPECT_THAT([&] { bar_->UserPress(host::nav_key::Confirm); },
                FailsWith(::testing::_, HasSubstr("Conferma")));
}

// The window's AfterUpdate reloads the list and puts the frame back on the saved row.
TEST_F(FrameTest, AnAfterUpdateThatReloadsAndRepositionsDoesNotSettleAgain) {
    rs_->MoveLast();
    bool nestedSave = true, nestedSaveBefore = true;
    sink_->on["BeforeUpdate"] = [&] { nestedSaveBefore = frame_->SaveRecord(true, true, true); };
    sink_->on["AfterUpdate(-1)"] = [&] {
        nestedSave = frame_->SaveRecord(true, true, true);
        frame_->DetachSource();
        rs_->Close();
        rs_->Open(kSql, conn_.Get());
        frame_->AttachSource(kSql);
        rs_->SetAbsolutePosition(2);
        frame_->RefreshRow(true, true);
        frame_->SetModified(false);
    };
    name_->UserType("ultimo");
    TakeEvents();
    bar_->UserPress(host::nav_key::Confirm);
    EXPECT_FALSE(nestedSaveBefore);  // the row is being settled: not written twice
    EXPECT_TRUE(nestedSave);         // the row was clean by then
    EXPECT_THAT(TakeEvents(), ElementsAre("BeforeUpdate", "AfterUpdate(-1)", "AfterMove(-1,8)",
                                          "AfterMove(-1,0)", "ButtonAction(-1,Conferma)"));
    EXPECT_EQ(grid_->CurrentLine(), 2);
    EXPECT_EQ(name_->Text(), "ultimo");
    EXPECT_EQ(Stored(), "1|uno|a1|10;2|ultimo|NULL|NULL");
}

}  // namespace
}  // namespace framework::testing
