// Dense priorities per company and posting type, and the priority toolbar that moves the
// current criterion one place up or down within its type.

#include <algorithm>

#include "platform/com/failure.h"
#include "platform/ui/toolkit.h"
#include "window/criteria_statements.h"
#include "window/frm_mgquintab.h"

namespace dravel {

namespace {

constexpr const char* kTypeColumn = "MGA0_FLGRESO";

com::Variant TypeOf(ado::Recordset& rows) {
    return rows.Fields(kTypeColumn).Value();
}

int32_t KeyOf(ado::Recordset& rows) {
    return rows.Fields("MGA0_ID").Value().ToLong();
}

// The frame's rows changed by code between Begin and End: the frame follows none of it, and
// shows the rows as they stand once it ends. End() ends it with its failure going to the caller;
// left on a failure, the guard ends it passing over a failure of its own, which would hide the
// first one.
class DirectChange {
  public:
    explicit DirectChange(host::IRecordFrame& frame) : frame_(frame) { frame_.BeginDirectChange(); }
    ~DirectChange() {
        if (open_) com::Step([&] { frame_.EndDirectChange(); });
    }
    DirectChange(const DirectChange&) = delete;
    DirectChange& operator=(const DirectChange&) = delete;

    void End() {
        open_ = false;
        frame_.EndDirectChange();
    }

  private:
    host::IRecordFrame& frame_;
    bool open_ = true;
};

// While it lives, every update of the rows (through any clone) also matches the posting type as
// read: a row another user gave another type meanwhile is a conflict.
class TypeMatchedOnUpdate {
  public:
    explicit TypeMatchedOnUpdate(ado::Recordset& rows) : rows_(rows) {
        rows_.MatchOnUpdate(kTypeColumn, true);
    }
    // The column was found when the match was set, and the rows it belongs to stay: this cannot
    // fail.
    ~TypeMatchedOnUpdate() { rows_.MatchOnUpdate(kTypeColumn, false); }
    TypeMatchedOnUpdate(const TypeMatchedOnUpdate&) = delete;
    TypeMatchedOnUpdate& operator=(const TypeMatchedOnUpdate&) = delete;

  private:
    ado::Recordset& rows_;
};

// The criterion and its neighbour `step` places on exchange priorities, in one batch, which is
// one transaction: the neighbour is written first, then the criterion. The frame's rows stand on
// the criterion.
void ExchangePriorities(ado::Recordset& rows, ado::Recordset& neighbour, int32_t step) {
    // A neighbour that another user gave another type meanwhile would take its number there,
    // leaving a gap in this type and a repeat in the other. Both types are read again first, to
    // refuse early; the updates also match the types as read, which closes the moment between
    // that reading and the batch's transaction.
    TypeMatchedOnUpdate matched(rows);
    for (ado::Recordset* r : {&rows, &neighbour})
        if (ValuesDiffer(TypeOf(*r), r->Fields(kTypeColumn).UnderlyingValue()))
            throw ado::ChangedByAnotherUser("MGA0_QUINTAB, MGA0_ID = " + std::to_string(KeyOf(*r)));
    auto shiftPriority = [&](int32_t by) {
        auto priority = rows.Fields("MGA0_INDPRIOR");
        priority.SetValue(com::Variant(priority.Value().ToLong() + by));
        rows.Update();
    };
    rows.Move(step);
    shiftPriority(-step);
    rows.Move(-step);
    shiftPriority(step);
    rows.UpdateBatch();
}

// A stored move must show in the list's new order, or the next move numbers from the old one and
// gives two criteria one priority. A reading that fails because the connection went is tried once
// more, which opens it again; when the server is still gone, no list is shown rather than the old
// one.
void ReadListAgain(ado::Recordset& rows, host::IRecordFrame& frame) {
    try {
        rows.Requery(-1);
    } catch (...) {
        try {
            rows.Requery(-1);
        } catch (...) {
            frame.DetachSource();
            throw;
        }
    }
}

// Whether the frame's criterion may move: an existing row, its pending edit saved first. A save
// may change the row's type or its place, so the move starts from where the saved row then
// stands. A save the frame refused has shown its message and kept the edit on screen: nothing
// moves.
bool ReadyToMove(host::IRecordFrame& frame) {
    if (frame.Status() != host::frame_status::Existing) return false;
    return !frame.Modified() || frame.SaveRecord(true, true, true);
}

// The row `step` places from the frame's current one, to exchange priorities with; none at either
// end of the list, nor in another posting type, which is not crossed into (a beep says so).
com::ComPtr<ado::Recordset> ExchangeNeighbour(host::IRecordFrame& frame, ado::Recordset& criteria,
                                              int32_t step) {
    const int32_t position = frame.Recordset()->AbsolutePosition();
    if ((step > 0 && position == frame.RowCount()) || (step < 0 && position == 1)) return nullptr;
    auto neighbour = criteria.Clone(ado::adLockUnspecified);
    neighbour->SetAbsolutePosition(criteria.AbsolutePosition() + step);
    if (ValuesDiffer(TypeOf(*neighbour), TypeOf(criteria))) {
        ui::Beep();
        return nullptr;
    }
    return neighbour;
}

// The exchange and the list read again, as one direct change of the frame's rows. A move the
// database refused (another user changed one of the two rows) changes nothing: the pending values
// go, the frame follows the list again, and the error goes back to the toolbar, which shows it.
void MoveInOneChange(host::IRecordFrame& frame, ado::Recordset& rows, ado::Recordset& neighbour,
                     int32_t step) {
    DirectChange change(frame);
    try {
        ExchangePriorities(rows, neighbour, step);
        ReadListAgain(rows, frame);
    } catch (...) {
        com::Step([&] { rows.CancelBatch(); });
        throw;
    }
    change.End();
}

// Where the frame ends, given the places of the criterion moved and of its neighbour in the list
// read again (0: no longer listed): on the one that now lies in the direction of the move, which
// is the criterion, or its neighbour when a gap in the priorities kept their order. 0 when
// neither is listed.
int32_t RowInDirectionOfMove(int32_t moved, int32_t passed, int32_t step) {
    return moved && passed && step < 0 ? std::min(moved, passed) : std::max(moved, passed);
}

}  // namespace

// Set-based statements on the window's own connection, in the dialect it speaks; no row is
// fetched into the window.
void FRM_MGQUINTAB::RenumberPriorities(int32_t postingType) {
    for (const auto& statement :
         RenumberStatements(GconConnect->SqlDialect(), CompanyCode, com::Variant(postingType)))
        GconConnect->Execute(statement, nullptr, ado::adExecuteNoRecords);
}

// Element 0 moves the criterion up (towards priority 1), element 1 down.
void FRM_MGQUINTAB::TBAR_PRIORITY_ButtonClick(int16_t index) {
    if (!ReadyToMove(*FME_PARENT)) return;
    const int32_t step = index == 0 ? -1 : 1;
    auto neighbour = ExchangeNeighbour(*FME_PARENT, *CriteriaRecordset, step);
    if (!neighbour) return;
    auto rows = FME_PARENT->Recordset();
    const int32_t moved = KeyOf(*rows), passed = KeyOf(*neighbour);
    MoveInOneChange(*FME_PARENT, *rows, *neighbour, step);
    // The list read again holds the other users' changes too, which shift the places: both rows
    // are found by their keys, never by their old places.
    if (int32_t at = RowInDirectionOfMove(ListedPosition(moved), ListedPosition(passed), step))
        rows->SetAbsolutePosition(at);
}

}  // namespace dravel
