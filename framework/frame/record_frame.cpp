// The frame's contract members: taking the recordset, the bar, the grid and the controls, and
// the members that only read or set its state.

#include "framework/frame/record_frame.h"

#include <algorithm>

#include "framework/log_service.h"
#include "platform/ui/control.h"

namespace framework {

RecordFrame::RecordFrame() {
    members_.Property(
        "Name", [this] { return com::Variant(name_); },
        [this](const com::Variant& v) { name_ = v.ToText(); });
}

RecordFrame::~RecordFrame() {
    Unhook();
}

// The controls keep handlers that point at the frame: take them back.
void RecordFrame::Unhook() {
    recordsetEvents_.Reset();
    if (barLink_) barLink_->SetKeyHandler(nullptr);
    if (gridLink_) gridLink_->SetSelectHandler(nullptr);
    for (auto* list : {&bindings_, &extras_})
        for (auto& b : *list)
            if (b.field) b.field->SetEditedHandler(nullptr);
}

int32_t RecordFrame::CurrentRow() {
    if (!rs_ || rs_->State() != ado::adStateOpen) return 0;
    return std::max(rs_->AbsolutePosition(), 0);
}

int32_t RecordFrame::RowCount() {
    if (!rs_ || rs_->State() != ado::adStateOpen) return 0;
    return rs_->RecordCount();
}

void RecordFrame::SetModified(bool modified) {
    modified_ = modified;
    ShowButtons();
}

void RecordFrame::InitFrame(host::Cinterface* module, ado::Connection* connection,
                            ado::Recordset* recordset, const std::string& sql,
                            const std::string& descriptionColumn, host::INavBar* navBar,
                            host::IGridControl* grid) {
    if (!recordset)
        throw com::ComError(com::err::ObjectNotSet, "The record frame needs a recordset");
    Unhook();
    module_ = module;
    connection_ = connection;
    rs_ = recordset;
    sql_ = sql;
    descriptionColumn_ = descriptionColumn;
    navBar_ = navBar;
    grid_ = grid;
    recordsetEvents_.Connect<ado::IRecordsetEvents>(rs_->GetUnknown(),
                                                    static_cast<ado::IRecordsetEvents*>(this));
    barLink_ = com::QueryAs<IFrameNavBar>(navBar);
    if (barLink_)
        barLink_->SetKeyHandler([this](const std::string& key) { return PerformKey(key); });
    if (navBar_) {
        navBar_->SetFrameObject(GetUnknown());
        navBar_->SetGridObject(grid);
    }
    gridLink_ = com::QueryAs<IFrameGrid>(grid);
    shownRows_ = 0;
    if (gridLink_) gridLink_->SetSelectHandler([this](int32_t line) { SelectLine(line); });
    attached_ = true;
    modified_ = false;
    SetStatus(HasRow() ? host::frame_status::Existing : host::frame_status::Empty,
              frame_reason::Source);
    ShowAll();
}

void RecordFrame::AttachSource(const std::string& sql) {
    if (!rs_) throw com::ComError(com::err::ObjectNotSet, "The record frame has no recordset");
    sql_ = sql;
    if (rs_->State() != ado::adStateOpen) rs_->Open(sql_, connection_.Get());
    attached_ = true;
    modified_ = false;
    com::ComPtr<host::IRecordFrame> keep(this);
    SetStatus(HasRow() ? host::frame_status::Existing : host::frame_status::Empty,
              frame_reason::Source);
    ShowAll();
    Notify([](host::IRecordFrameEvents* s) {
        return s->AfterMove(host::kOperationSucceeded, frame_reason::Source);
    });
}

void RecordFrame::DetachSource() {
    attached_ = false;
    shownRows_ = 0;
    if (gridLink_) {
        gridLink_->SetLines(0, nullptr);
        gridLink_->SetCurrentLine(0);
    }
    ShowButtons();
}

void RecordFrame::BeginDirectChange() {
    if (direct_++ == 0) directBusy_.emplace();
}

void RecordFrame::EndDirectChange() {
    if (direct_ > 0) --direct_;
    if (direct_ > 0) return;
    directBusy_.reset();
    // The code changed the rows itself: whatever the controls held is replaced by the rows.
    modified_ = false;
    SetStatus(HasRow() ? host::frame_status::Existing : host::frame_status::Empty,
              frame_reason::Source);
    ShowAll();
}

void RecordFrame::AddExtraControl(host::IBoundControl* control) {
    if (!control) throw com::ComError(com::err::ObjectNotSet, "No control to add to the frame");
    Binding b{control, com::QueryAs<IFrameField>(control), {}};
    if (b.field) b.field->SetEditedHandler([this] { OnEdited(); });
    extras_.push_back(std::move(b));
}

void RecordFrame::BindControl(host::IBoundControl* control, com::IUnknown*) {
    if (!control) throw com::ComError(com::err::ObjectNotSet, "No control to bind");
    if (!rs_) throw com::ComError(com::err::ObjectNotSet, "InitFrame comes before BindControl");
    const std::string column = control->DBField();
    if (rs_->State() == ado::adStateOpen && rs_->FieldIndex(column) < 0) {
        auto named = com::QueryAs<ui::IControl>(control);
        throw com::ComError(com::err::ItemNotFound, "The recordset has no column \"" + column +
                                                        "\" for the control " +
                                                        (named ? named->Name() : std::string("?")));
    }
    Binding b{control, com::QueryAs<IFrameField>(control), {}};
    if (b.field) b.field->SetEditedHandler([this] { OnEdited(); });
    bindings_.push_back(std::move(b));
    ShowControls();
}

bool RecordFrame::RefreshRow(bool, bool) {
    ShowControls();
    ShowButtons();
    return HasRow();
}

bool RecordFrame::SaveRecord(bool, bool, bool) {
    com::ComPtr<host::IRecordFrame> keep(this);
    return Settle(frame_reason::Save);
}

void RecordFrame::Update() {
    com::ComPtr<host::IRecordFrame> keep(this);
    Settle(frame_reason::Save);
}

bool RecordFrame::MovePrevious(bool, bool) {
    com::ComPtr<host::IRecordFrame> keep(this);
    return MoveBy(-1, frame_reason::Previous);
}

bool RecordFrame::MoveNext(bool, bool) {
    com::ComPtr<host::IRecordFrame> keep(this);
    return MoveBy(1, frame_reason::Next);
}

com::HRESULT RecordFrame::MoveComplete(ado::Recordset*) noexcept {
    if (ownMoves_ > 0 || direct_ > 0 || !attached_) return com::S_OK;
    return com::Guard([this] { Follow(frame_reason::CodeMove); });
}

bool RecordFrame::Notify(const std::function<com::HRESULT(host::IRecordFrameEvents*)>& raise) {
    try {
        events_.Raise(raise);
        return true;
    } catch (const com::ComError& e) {
        ShowFailure(e);
        return false;
    }
}

std::string RecordFrame::MessageTitle() {
    com::Variant caption;
    if (module_ && com::Succeeded(module_->get_Caption(&caption)) && !caption.IsEmptyOrNull()) {
        std::string text = caption.ToText();
        if (!text.empty()) return text;
    }
    return "Attenzione";
}

void RecordFrame::ShowFailure(const com::ComError& e) {
    ShowError(e, MessageTitle());
}

// A failure that follows from one the user was just shown (the rows could not be read again after
// a failed save or delete, the server being gone): one cause is told once, the rest is logged.
void RecordFrame::LogFollowingFailure(const com::ComError& e) {
    LogFailure(e, MessageTitle(), "ReadRowsAgain");
}

}  // namespace framework
