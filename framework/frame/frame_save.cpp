// Settling the current row: validate the controls, copy their texts into the row, let the
// window look at it, write it. Any refusal or failure leaves the edit where it was.

#include <algorithm>

#include "framework/frame/field_checks.h"
#include "framework/frame/field_value.h"
#include "framework/frame/record_frame.h"
#include "framework/text_service.h"
#include "platform/ui/toolkit.h"

namespace framework {

namespace {

class Flag {
  public:
    explicit Flag(bool& f) : f_(f) { f_ = true; }
    ~Flag() { f_ = false; }
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;

  private:
    bool& f_;
};

}  // namespace

// Nothing to do for a clean existing row (or no row), unless a save is waiting for its rows. A
// handler that asks to settle a row that is being settled (directly or by moving the frame) is
// refused instead of writing it twice.
bool RecordFrame::Settle(int32_t reason) {
    if (!unread_ && (!HasSource() || status_ == host::frame_status::Empty)) return true;
    if (!unread_ && status_ == host::frame_status::Existing && !modified_) return true;
    if (settling_) return false;
    Flag settling(settling_);
    return Save(reason);
}

// A save refused before the write takes its copy back out of the row: the edit stays in the
// controls, and nothing of it is left in the row for a later move to settle and the next save to
// write.
bool RecordFrame::Save(int32_t reason) {
    if (unread_) {
        if (!ReadUnread()) return false;
        if (status_ == host::frame_status::Existing && !modified_) return true;
    }
    if (!Validate()) return false;
    const RowSnapshot before = Snapshot();
    try {
        CopyControlsToRow();
    } catch (const com::ComError& e) {
        PutBack(before);
        ShowFailure(e);
        return false;
    }
    auto afterUpdate = [this](int32_t result) {
        return Notify([result](host::IRecordFrameEvents* s) { return s->AfterUpdate(result); });
    };
    // From the handler that starts the write (and may wait for another user's lock) to the
    // handler that ends it.
    ui::BusyScope busy;
    com::VARIANT_BOOL cancel = com::VARIANT_FALSE;
    if (!Notify([&cancel](host::IRecordFrameEvents* s) { return s->BeforeUpdate(cancel); })) {
        PutBack(before);
        afterUpdate(host::kOperationFailed);
        return false;
    }
    if (cancel) {
        PutBack(before);
        return false;
    }
    const int32_t statusBefore = status_;
    const int32_t position = CurrentRow();
    std::vector<FieldChange> edit;
    com::Variant key;
    try {
        edit = RowChanges();
        OwnMove own(*this);
        WriteRow();
        key = rs_->Bookmark();
    } catch (...) {
        ShowFailure(com::CurrentError());
        afterUpdate(host::kOperationFailed);
        return false;
    }
    modified_ = false;
    SetStatus(host::frame_status::Existing, reason);
    ShowAll();
    if (afterUpdate(host::kOperationSucceeded)) return true;
    KeepEdit({edit, key, position, statusBefore});
    return false;
}

// The fields whose values differ from those read: the user's edit and what the handlers set.
std::vector<RecordFrame::FieldChange> RecordFrame::RowChanges() {
    std::vector<FieldChange> changes;
    for (int i = 0; i < rs_->FieldCount(); ++i) {
        auto field = rs_->Fields(i);
        com::Variant now = field.Value(), read = field.OriginalValue();
        if (!(now == read)) changes.push_back({i, std::move(now)});
    }
    return changes;
}

// The AfterUpdate handler failed (its message is shown): its part of the save, and with it the
// write, may have been undone (the handler's transaction). The rows are read again; where the
// database does not hold the row as written, the edit goes back on the row, pending, so that the
// save can be tried again. Only the edit: what another user changed in other fields meanwhile
// stays as that user left it.
//
// When the rows cannot be read (the database server went), the list still holds the row as it
// was written, which the database may not: the edit stays on screen, modified, and the rows are
// read again before the next save, which then writes what the database still lacks.
void RecordFrame::KeepEdit(const UnreadSave& save) {
    bool pending = false;
    {
        OwnMove own(*this);
        try {
            if (ReadRowsAgain(save.key, save.position)) {
                pending = Apply(save.edit);
            } else if (save.statusBefore == host::frame_status::New) {
                rs_->AddNew();
                Apply(save.edit);
            }
        } catch (const com::ComError& e) {
            unread_ = save;
            modified_ = true;
            ShowButtons();
            LogFollowingFailure(e);
            return;
        }
    }
    const bool added = rs_->GetEditMode() == ado::adEditAdd;
    modified_ = pending;
    SetStatus(added      ? host::frame_status::New
              : HasRow() ? host::frame_status::Existing
                         : host::frame_status::Empty,
              frame_reason::Save);
    ShowAll();
    Notify([](host::IRecordFrameEvents* s) {
        return s->AfterMove(host::kOperationSucceeded, frame_reason::Save);
    });
}

bool RecordFrame::ReadUnread() {
    if (!unread_) return true;
    const UnreadSave unread = *unread_;  // KeepEdit resets unread_ once it has read the rows
    KeepEdit(unread);
    return !unread_;
}

// Sets the current row's fields that differ from the changes; whether any did.
bool RecordFrame::Apply(const std::vector<FieldChange>& changes) {
    bool changed = false;
    for (const auto& [index, value] : changes) {
        auto field = rs_->Fields(index);
        if (field.Value() == value) continue;
        field.SetValue(value);
        changed = true;
    }
    return changed;
}

// The rows as the database holds them now, whatever the handlers left of the list, on the row
// whose key is `key`; when it is gone, on the row at `position` (or the last). Whether the row
// was found.
bool RecordFrame::ReadRowsAgain(const com::Variant& key, int32_t position) {
    if (rs_->State() == ado::adStateOpen) {
        if (rs_->HasPendingChanges()) rs_->CancelBatch();
        rs_->Requery();
    } else {
        rs_->Open(sql_, connection_.Get());
    }
    attached_ = true;
    unread_.reset();
    if (rs_->GoToBookmark(key)) return true;
    if (const int32_t count = rs_->RecordCount(); count > 0)
        rs_->SetAbsolutePosition(std::clamp(position, 1, count));
    return false;
}

// At the first control that breaks a rule: ValidateRecord with the frame's message, then the
// message as the handler left it. A column of whole numbers takes a whole number whether or not
// its control is numeric: the field's message, not the recordset's conversion, refuses other
// digits ("٣", "３") and "0x2".
bool RecordFrame::Validate() {
    for (auto& b : bindings_) {
        if (!b.field) continue;
        const com::VarType type = rs_->Fields(b.control->DBField()).Type();
        const bool whole = type == com::VarType::Integer || type == com::VarType::Long;
        auto problem =
            FieldProblem(b.control->Text(), {b.field->FieldCaption(), b.field->Required(),
                                             b.field->MaxChar(), b.field->Numeric() || whole});
        if (!problem) continue;
        com::IUnknown* control = b.control.Get();
        std::string message = *problem;
        if (!Notify(
                [&](host::IRecordFrameEvents* s) { return s->ValidateRecord(control, message); }))
            return false;
        PresentMessage(message.empty() ? *problem : message, ui::mb::Exclamation, MessageTitle());
        return false;
    }
    return true;
}

// Before BeforeUpdate, so that its handler sees the user's values in the fields (and their
// underlying values to compare with) and RefreshRow shows them. Only what the user (or code)
// changed in a control since the frame showed the row is copied: a control that shows a value
// its own way (in upper case, say) writes nothing back unless edited.
void RecordFrame::CopyControlsToRow() {
    for (auto& b : bindings_) {
        const std::string text = b.control->Text();
        if (text == b.shown) continue;
        auto field = rs_->Fields(b.control->DBField());
        field.SetValue(ColumnValue(text, field.Type()));
    }
}

RecordFrame::RowSnapshot RecordFrame::Snapshot() {
    RowSnapshot s{rs_->GetEditMode(), rs_->AbsolutePosition(), {}};
    for (int i = 0; i < rs_->FieldCount(); ++i) s.values.push_back(rs_->Fields(i).Value());
    return s;
}

// Only while the row is still the one copied into and still being edited: a handler that moved
// the recordset or wrote the row has settled it itself.
void RecordFrame::PutBack(const RowSnapshot& before) {
    if (!HasRow() || rs_->AbsolutePosition() != before.position ||
        rs_->GetEditMode() == ado::adEditNone)
        return;
    if (before.mode == ado::adEditNone) {
        rs_->CancelUpdate();
        return;
    }
    for (int i = 0; i < static_cast<int>(before.values.size()); ++i) {
        auto field = rs_->Fields(i);
        if (!(field.Value() == before.values[i])) field.SetValue(before.values[i]);
    }
}

void RecordFrame::WriteRow() {
    if (rs_->GetEditMode() != ado::adEditNone) rs_->Update();
    if (IsBatch() && rs_->HasPendingChanges()) rs_->UpdateBatch();
}

bool RecordFrame::IsBatch() {
    return rs_->GetLockType() == ado::adLockBatchOptimistic;
}

}  // namespace framework
