// The navigation bar's buttons the frame performs, and the moves the user asks for.

#include <algorithm>

#include "framework/frame/record_frame.h"
#include "platform/com/failure.h"
#include "platform/ui/toolkit.h"

namespace framework {

// The bar's handler: the frame's part of a pressed button. A failure that escapes an
// operation is shown; the bar then reports the button as failed.
bool RecordFrame::PerformKey(const std::string& key) {
    com::ComPtr<host::IRecordFrame> keep(this);
    try {
        if (key == host::nav_key::New) return AddNewRow();
        if (key == host::nav_key::Confirm) return Settle(frame_reason::Save);
        if (key == host::nav_key::Undo) return UndoRow();
        if (key == host::nav_key::Delete) return DeleteRow();
        return true;
    } catch (...) {
        ShowFailure(com::CurrentError());
        return false;
    }
}

bool RecordFrame::AddNewRow() {
    if (!HasSource() || !Settle(frame_reason::AddNew)) return false;
    rowBeforeNew_ = CurrentRow();
    try {
        OwnMove own(*this);
        rs_->AddNew();
    } catch (const com::ComError& e) {
        ShowFailure(e);
        Notify([](host::IRecordFrameEvents* s) { return s->AfterAddNew(host::kOperationFailed); });
        return false;
    }
    modified_ = false;
    for (auto& b : extras_)
        if (b.field) b.field->Clear();
    SetStatus(host::frame_status::New, frame_reason::AddNew);
    ShowAll();
    const bool ok = Notify(
        [](host::IRecordFrameEvents* s) { return s->AfterAddNew(host::kOperationSucceeded); });
    ShowControls();  // the new row as the handler filled it
    return ok;
}

// Drops the pending change or the new row and shows the row as it is stored, read again: after
// a save refused because another user changed the row, that user's values.
bool RecordFrame::UndoRow() {
    if (!HasSource() || status_ == host::frame_status::Empty) return false;
    const bool adding = status_ == host::frame_status::New;
    const int32_t back = adding ? rowBeforeNew_ : CurrentRow();
    try {
        const com::Variant key = adding ? com::Variant::Null() : rs_->Bookmark();
        OwnMove own(*this);
        if (rs_->GetEditMode() != ado::adEditNone) rs_->CancelUpdate();
        ReadRowsAgain(key, back);
    } catch (const com::ComError& e) {
        ShowFailure(e);
        Notify([](host::IRecordFrameEvents* s) { return s->AfterUndo(host::kOperationFailed); });
        return false;
    }
    modified_ = false;
    SetStatus(HasRow() ? host::frame_status::Existing : host::frame_status::Empty,
              frame_reason::Undo);
    ShowAll();
    return Notify(
        [](host::IRecordFrameEvents* s) { return s->AfterUndo(host::kOperationSucceeded); });
}

// Deletes the current row; its neighbour (the next one, or the new last one) becomes current.
bool RecordFrame::DeleteRow() {
    if (!ReadUnread()) return false;
    if (!HasSource() || status_ != host::frame_status::Existing) return false;
    auto afterDelete = [this](int32_t result) {
        return Notify([result](host::IRecordFrameEvents* s) { return s->AfterDelete(result); });
    };
    ui::BusyScope busy;  // as for a save
    com::VARIANT_BOOL cancel = com::VARIANT_FALSE;
    if (!Notify([&cancel](host::IRecordFrameEvents* s) { return s->BeforeDelete(cancel); })) {
        afterDelete(host::kOperationFailed);
        return false;
    }
    if (cancel) return false;
    const int32_t at = CurrentRow();
    com::Variant key;
    try {
        key = rs_->Bookmark();
        OwnMove own(*this);
        if (rs_->GetEditMode() != ado::adEditNone) rs_->CancelUpdate();
        rs_->Delete();
        if (IsBatch()) rs_->UpdateBatch();
    } catch (...) {
        ShowFailure(com::CurrentError());
        afterDelete(host::kOperationFailed);
        ShowStoredAfterDelete(key, at);
        return false;
    }
    {
        OwnMove own(*this);
        const int32_t count = rs_->RecordCount();
        if (count > 0) rs_->SetAbsolutePosition(std::min(at, count));
    }
    modified_ = false;
    SetStatus(HasRow() ? host::frame_status::Existing : host::frame_status::Empty,
              frame_reason::Delete);
    ShowAll();
    if (afterDelete(host::kOperationSucceeded)) return true;
    // The AfterDelete handler failed (its message is shown) and may have undone the delete with
    // its transaction.
    ShowStoredAfterDelete(key, at);
    return false;
}

// A delete that did not happen, or may not have: the rows as the database holds them, on the
// row again when it is still there (as another user may have changed it). When they cannot be
// read (the server went), the list lacks the row that the database may still hold, and the
// current row is its neighbour: a second "Elimina" deleted the neighbour. The rows are read
// before the next action instead (see Save).
void RecordFrame::ShowStoredAfterDelete(const com::Variant& key, int32_t at) {
    try {
        OwnMove own(*this);
        ReadRowsAgain(key, at);
    } catch (const com::ComError& e) {
        unread_ = UnreadSave{{}, key, at, host::frame_status::Existing};
        LogFollowingFailure(e);
    }
    Follow(frame_reason::Delete);
}

bool RecordFrame::MoveBy(int32_t step, int32_t reason) {
    if (!HasSource() || status_ == host::frame_status::Empty) return false;
    if (!Settle(reason)) return false;
    return GoTo(CurrentRow() + step, reason);
}

bool RecordFrame::GoTo(int32_t row, int32_t reason) {
    if (row < 1 || row > RowCount()) {
        ShowButtons();
        return false;
    }
    {
        OwnMove own(*this);
        rs_->SetAbsolutePosition(row);
    }
    Follow(reason);
    return true;
}

// The user picked a grid line: settle, then move there; a refused save keeps the line.
void RecordFrame::SelectLine(int32_t line) {
    com::ComPtr<host::IRecordFrame> keep(this);
    try {
        if (!HasSource()) return;
        if (line == CurrentRow() && status_ == host::frame_status::Existing) return;
        if (Settle(frame_reason::GridLine)) GoTo(line, frame_reason::GridLine);
    } catch (...) {
        ShowFailure(com::CurrentError());
    }
}

}  // namespace framework
