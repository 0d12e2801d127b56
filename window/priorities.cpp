// Dense priorities per company and posting type, and the priority toolbar that moves the
// current criterion one place up or down within its type.

#include <algorithm>

#include "platform/com/failure.h"
#include "platform/ui/toolkit.h"
#include "window/criteria_statements.h"
#include "window/frm_mgquintab.h"

namespace dravel {

// Set-based statements on the window's own connection, in the dialect it speaks; no row is
// fetched into the window.
void FRM_MGQUINTAB::RenumberPriorities(int32_t postingType) {
    for (const auto& statement :
         RenumberStatements(GconConnect->SqlDialect(), CompanyCode, com::Variant(postingType)))
        GconConnect->Execute(statement, nullptr, ado::adExecuteNoRecords);
}

// Element 0 moves the criterion up (towards priority 1), element 1 down. The neighbour is
// written first, then the criterion, and both go to the database in one batch, which is one
// transaction.
void FRM_MGQUINTAB::TBAR_PRIORITY_ButtonClick(int16_t index) {
    if (FME_PARENT->Status() != host::frame_status::Existing) return;
    // A pending edit is saved first, and the move starts from where the saved row now stands:
    // the save may change its type or its place. Moving away and back by position to settle it
    // came back to another row when the save moved this one, and that row got the priority
    // meant for this one. A save the frame refused has shown its message and kept the edit on
    // screen: nothing moves.
    if (FME_PARENT->Modified() && !FME_PARENT->SaveRecord(true, true, true)) return;

    auto rows = FME_PARENT->Recordset();
    int32_t position = rows->AbsolutePosition();
    if ((index == 1 && position == FME_PARENT->RowCount()) || (index == 0 && position == 1)) return;

    const int32_t step = index == 0 ? -1 : 1;
    auto neighbour = CriteriaRecordset->Clone(ado::adLockUnspecified);
    neighbour->SetAbsolutePosition(CriteriaRecordset->AbsolutePosition() + step);
    auto typeOf = [](ado::Recordset& r) { return r.Fields("MGA0_FLGRESO").Value(); };
    if (ValuesDiffer(typeOf(*neighbour), typeOf(*CriteriaRecordset))) {
        ui::Beep();
        return;
    }

    auto key = [](ado::Recordset& r) { return r.Fields("MGA0_ID").Value().ToLong(); };
    const int32_t moved = key(*rows), passed = key(*neighbour);
    FME_PARENT->BeginDirectChange();
    auto shiftPriority = [&](int32_t by) {
        auto priority = rows->Fields("MGA0_INDPRIOR");
        priority.SetValue(com::Variant(priority.Value().ToLong() + by));
        rows->Update();
    };
    try {
        // A neighbour that another user gave another type meanwhile would take its number
        // there, leaving a gap in this type and a repeat in the other. Both types are read
        // again first, to refuse early; the updates also match the types as read, which closes
        // the moment between that reading and the batch's transaction.
        rows->MatchOnUpdate("MGA0_FLGRESO", true);
        for (ado::Recordset* r : {CriteriaRecordset.Get(), neighbour.Get()})
            if (ValuesDiffer(typeOf(*r), r->Fields("MGA0_FLGRESO").UnderlyingValue()))
                throw ado::ChangedByAnotherUser("MGA0_QUINTAB, MGA0_ID = " +
                                                std::to_string(key(*r)));
        rows->Move(step);
        shiftPriority(-step);
        rows->Move(-step);
        shiftPriority(step);
        rows->UpdateBatch();
        rows->MatchOnUpdate("MGA0_FLGRESO", false);
        // The move is stored: the list must show it in its new order, or the next move numbers
        // from the old one and gives two criteria one priority. A reading that fails because
        // the connection went is tried once more, which opens it again; when the server is
        // still gone, no list is shown rather than the old one.
        try {
            rows->Requery(-1);
        } catch (...) {
            try {
                rows->Requery(-1);
            } catch (...) {
                FME_PARENT->DetachSource();
                throw;
            }
        }
    } catch (...) {
        // A move the database refused (another user changed one of the two rows) changes
        // nothing: the pending values go, the frame follows the list again, and the error goes
        // back to the toolbar, which shows it.
        com::Step([&] { rows->MatchOnUpdate("MGA0_FLGRESO", false); });
        com::Step([&] { rows->CancelBatch(); });
        com::Step([&] { FME_PARENT->EndDirectChange(); });
        throw;
    }
    FME_PARENT->EndDirectChange();
    // The frame ends on the one of the two rows that now lies in the direction of the move: the
    // criterion, or its neighbour when a gap in the priorities kept their order. The list read
    // again holds the other users' changes too, which shift the places, so both are found by
    // their keys: the old place plus one showed another criterion, or lay past the end of a
    // shorter list, an error.
    const int32_t a = ListedPosition(moved), b = ListedPosition(passed);
    const int32_t at = a && b && step < 0 ? std::min(a, b) : std::max(a, b);
    if (at) rows->SetAbsolutePosition(at);
}

}  // namespace dravel
