// What the frame shows: the rows in the grid, the current row in the bound controls, the states
// of the bar's buttons; and how it follows the recordset when code moves it.

#include "framework/frame/field_value.h"
#include "framework/frame/record_frame.h"

namespace framework {

bool RecordFrame::HasSource() {
    return rs_ && attached_ && rs_->State() == ado::adStateOpen;
}

bool RecordFrame::HasRow() {
    return HasSource() && !rs_->Bof() && !rs_->Eof();
}

// One line per row, each read when the grid shows it, through a clone so the recordset keeps its
// position. The grid's columns are found by name once, not on every line.
void RecordFrame::ShowRows() {
    if (!gridLink_) return;
    std::function<std::vector<std::string>(int32_t)> cells;
    const int32_t count = HasSource() ? rs_->RecordCount() : 0;
    if (count > 0) {
        std::vector<int> columns;
        for (const auto& name : gridLink_->ColumnNames()) columns.push_back(rs_->FieldIndex(name));
        // A clone keeps the rows that a reload replaces. Rows added or deleted through the
        // recordset show in it until the frame sets the lines again; until then the count holds
        // and lines past the rows are empty.
        cells = [clone = rs_->Clone(), columns](int32_t line) {
            std::vector<std::string> texts(columns.size());
            if (line > clone->RecordCount()) return texts;
            clone->SetAbsolutePosition(line);
            for (size_t i = 0; i < columns.size(); ++i)
                if (columns[i] >= 0) texts[i] = FieldText(clone->Fields(columns[i]).Value());
            return texts;
        };
    }
    shownRows_ = HasSource() ? rs_->RowsVersion() : 0;
    gridLink_->SetLines(count, std::move(cells));
}

void RecordFrame::ShowCurrentLine() {
    if (!gridLink_) return;
    const int32_t row = HasRow() ? CurrentRow() : 0;
    gridLink_->SetCurrentLine(row);
}

void RecordFrame::ShowControls() {
    const bool row = HasRow();
    for (auto& b : bindings_) {
        std::string text;
        if (row) {
            const int index = rs_->FieldIndex(b.control->DBField());
            if (index >= 0) text = FieldText(rs_->Fields(index).Value());
        }
        b.control->SetText(text);
        b.shown = b.control->Text();
    }
}

void RecordFrame::ShowButtons() {
    const bool pending = modified_ || status_ == host::frame_status::New;
    if (navBar_ && HasSource()) navBar_->SetChangesPending(pending);
    if (!barLink_) return;
    const bool source = HasSource();
    // A save or a delete waiting for its rows (KeepEdit) can be tried again while the list is
    // gone.
    const bool row = (source && status_ != host::frame_status::Empty) || unread_;
    const int32_t at = CurrentRow(), count = RowCount();
    barLink_->SetKeyEnabled(host::nav_key::New, source);
    barLink_->SetKeyEnabled(host::nav_key::Confirm, row && pending);
    barLink_->SetKeyEnabled(host::nav_key::Undo, row && pending);
    barLink_->SetKeyEnabled(host::nav_key::Delete,
                            row && (status_ == host::frame_status::Existing || unread_));
    barLink_->SetKeyEnabled(host::nav_key::Next, row && (pending || at < count));
    barLink_->SetKeyEnabled(host::nav_key::Previous, row && (pending || at > 1));
    barLink_->SetKeyEnabled(host::nav_key::Export, row);
}

// The lines are drawn again only when the rows changed since they were drawn: after a save the
// handler's reload has drawn them already, and a list of thousands costs as much to draw as to
// read.
void RecordFrame::ShowAll() {
    if (!HasSource() || rs_->RowsVersion() != shownRows_) ShowRows();
    ShowCurrentLine();
    ShowControls();
    ShowButtons();
}

// The recordset is on another row now: whatever the controls held gives way to that row. Code
// that requeried, added or deleted rows changed the list too: the grid's lines are drawn again.
void RecordFrame::Follow(int32_t reason) {
    modified_ = false;
    SetStatus(HasRow() ? host::frame_status::Existing : host::frame_status::Empty, reason);
    if (HasSource() && rs_->RowsVersion() != shownRows_) ShowRows();
    ShowCurrentLine();
    ShowControls();
    ShowButtons();
    Notify([reason](host::IRecordFrameEvents* s) {
        return s->AfterMove(host::kOperationSucceeded, reason);
    });
}

void RecordFrame::SetStatus(int32_t status, int32_t reason) {
    if (status_ == status) return;
    status_ = status;
    Notify(
        [status, reason](host::IRecordFrameEvents* s) { return s->ChangeStatus(status, reason); });
}

// The user changed a bound or extra control. Without a row there is nothing to change.
void RecordFrame::OnEdited() {
    if (status_ == host::frame_status::Empty) return;
    modified_ = true;
    ShowButtons();
}

}  // namespace framework
