#include "platform/ado/recordset.h"

#include <algorithm>

#include "platform/ado/row_cache.h"
#include "platform/ado/transaction.h"
#include "platform/ado/write_back.h"
#include "platform/com/com_error.h"

namespace ado {

using detail::Row;
using detail::RowState;

namespace {

void RequireWritableLock(LockType lock) {
    if (lock == adLockReadOnly)
        throw com::ComError(com::err::OperationNotAllowed,
                            "The recordset is read-only: its rows cannot be changed");
}

}  // namespace

Recordset::Recordset() = default;
Recordset::~Recordset() {
    UseRows(nullptr);
}

void Recordset::UseRows(std::shared_ptr<detail::RowCache> rows) {
    if (rows_) std::erase(rows_->cursors, this);
    rows_ = std::move(rows);
    if (rows_) rows_->cursors.push_back(this);
}

com::ComPtr<Recordset> Recordset::Create() {
    return com::ComPtr<Recordset>(new Recordset());
}

com::ComPtr<Recordset> Recordset::From(com::IUnknown* object) {
    auto tag = com::QueryAs<IRecordset>(object);
    return com::ComPtr<Recordset>(static_cast<Recordset*>(tag.Get()));
}

void Recordset::SetCursorType(CursorType t) {
    if (rows_)
        throw com::ComError(com::err::OperationNotAllowed,
                            "The cursor type cannot change while the recordset is open");
    cursorType_ = t;
}

void Recordset::SetLockType(LockType t) {
    if (rows_)
        throw com::ComError(com::err::OperationNotAllowed,
                            "The lock type cannot change while the recordset is open");
    lockType_ = t;
}

void Recordset::RequireOpen() const {
    if (!rows_) throw com::ComError(com::err::ObjectClosed);
}

// --- opening and closing ---

void Recordset::Open(const std::string& source, Connection* connection, int32_t cursorType,
                     int32_t lockType, int32_t) {
    if (rows_) throw com::ComError(com::err::OperationNotAllowed, "The recordset is already open");
    if (!connection)
        throw com::ComError(com::err::ArgumentOutOfRange,
                            "The recordset needs a connection to open");
    if (cursorType != -1) cursorType_ = static_cast<CursorType>(cursorType);
    if (lockType != -1) lockType_ = static_cast<LockType>(lockType);
    source_ = source;
    connection_ = connection;
    Load();
}

void Recordset::Load() {
    detail::Backend& backend = connection_->Backend();
    detail::QueryResult result = backend.Query(source_, {});
    if (!result.hasColumns)
        throw com::ComError(com::err::Database, "The statement returns no rows to open")
            .SetNative(0, "Statement: " + source_);
    UseRows(detail::BuildRowCache(backend, std::move(result), lockType_ != adLockReadOnly));
    ClearEdit();
    position_ = 0;
    NotifyMove();
}

void Recordset::OpenResult(const std::string& source, Connection* connection,
                           detail::QueryResult&& result) {
    source_ = source;
    connection_ = connection;
    cursorType_ = adOpenForwardOnly;
    lockType_ = adLockReadOnly;
    UseRows(detail::BuildRowCache(connection->Backend(), std::move(result), false));
    position_ = 0;
}

void Recordset::Close() {
    RequireOpen();
    UseRows(nullptr);
    ClearEdit();
    position_ = 0;
}

ObjectState Recordset::State() const {
    return rows_ ? adStateOpen : adStateClosed;
}

void Recordset::Requery(int32_t) {
    RequireOpen();
    if (HasPendingChanges())
        throw com::ComError(com::err::OperationNotAllowed,
                            "Requery would drop changes not yet sent: update or cancel them first");
    Load();
}

com::ComPtr<Recordset> Recordset::Clone(int32_t lockType) {
    RequireOpen();
    com::ComPtr<Recordset> clone(new Recordset());
    clone->cursorType_ = cursorType_;
    clone->lockType_ = lockType == -1 ? lockType_ : static_cast<LockType>(lockType);
    clone->source_ = source_;
    clone->connection_ = connection_;
    clone->UseRows(rows_);
    return clone;
}

// --- position ---

int32_t Recordset::RecordCount() const {
    RequireOpen();
    return static_cast<int32_t>(rows_->rows.size());
}

int32_t Recordset::AbsolutePosition() const {
    int32_t count = RecordCount();
    if (count == 0) return adPosUnknown;
    if (position_ < 0) return adPosBOF;
    if (position_ >= count) return adPosEOF;
    return position_ + 1;
}

void Recordset::SetAbsolutePosition(int32_t position) {
    int32_t count = RecordCount();
    if (position < 1 || position > count)
        throw com::ComError(com::err::ArgumentOutOfRange, "Position " + std::to_string(position) +
                                                              " is outside the rows 1 to " +
                                                              std::to_string(count));
    GoTo(position - 1);
}

bool Recordset::Bof() const {
    return RecordCount() == 0 || position_ < 0;
}
bool Recordset::Eof() const {
    return RecordCount() == 0 || position_ >= RecordCount();
}

void Recordset::MoveFirst() {
    if (RecordCount() > 0) GoTo(0);
}

void Recordset::MoveLast() {
    if (RecordCount() > 0) GoTo(RecordCount() - 1);
}

void Recordset::MoveNext() {
    if (Eof()) throw com::ComError(com::err::NoCurrentRecord);
    GoTo(position_ + 1);
}

void Recordset::MovePrevious() {
    if (Bof()) throw com::ComError(com::err::NoCurrentRecord);
    GoTo(position_ - 1);
}

void Recordset::Move(int32_t rows) {
    if ((rows >= 0 && Eof()) || (rows <= 0 && Bof()))
        throw com::ComError(com::err::NoCurrentRecord);
    int64_t target = static_cast<int64_t>(position_) + rows;
    GoTo(static_cast<int32_t>(std::clamp<int64_t>(target, -1, RecordCount())));
}

void Recordset::GoTo(int32_t position) {
    SettleEdit();
    position_ = position;
    NotifyMove();
}

com::Variant Recordset::Bookmark() const {
    const Row& row = CurrentRow();
    detail::RequireWritable(*rows_);
    return row.Original(rows_->keyIndex);
}

bool Recordset::GoToBookmark(const com::Variant& bookmark) {
    RequireOpen();
    detail::RequireWritable(*rows_);
    const auto& rows = rows_->rows;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (com::Variant::Equal(rows[i]->Original(rows_->keyIndex), bookmark)) {
            GoTo(static_cast<int32_t>(i));
            return true;
        }
    }
    return false;
}

void Recordset::NotifyMove() {
    if (sinks_.Empty()) return;
    sinks_.Raise([this](IRecordsetEvents* sink) { return sink->MoveComplete(this); });
}

com::HRESULT Recordset::Advise(const com::Guid& iid, com::IUnknown* sink,
                               uint32_t* cookie) noexcept {
    return sinks_.Advise(iid, sink, cookie);
}

com::HRESULT Recordset::Unadvise(uint32_t cookie) noexcept {
    return sinks_.Unadvise(cookie);
}

// --- fields ---

uint64_t Recordset::RowsVersion() const {
    return rows_ ? rows_->version : 0;
}

int Recordset::FieldCount() const {
    RequireOpen();
    return static_cast<int>(rows_->columns.size());
}

const detail::Column& Recordset::Column(int index) const {
    if (index < 0 || index >= FieldCount())
        throw com::ComError(
            com::err::ItemNotFound,
            "There is no field number " + std::to_string(index) + " in the recordset");
    return rows_->columns[index];
}

Field Recordset::Fields(int index) {
    Column(index);
    return Field(this, index);
}

Field Recordset::Fields(const std::string& name) {
    int index = FieldIndex(name);
    if (index < 0)
        throw com::ComError(com::err::ItemNotFound,
                            "There is no field " + name + " in the recordset");
    return Field(this, index);
}

int Recordset::FieldIndex(const std::string& name) const {
    return rows_ ? rows_->Find(name) : -1;
}

Row& Recordset::CurrentRow() const {
    RequireOpen();
    if (position_ < 0 || position_ >= static_cast<int32_t>(rows_->rows.size()))
        throw com::ComError(com::err::NoCurrentRecord);
    return *rows_->rows[position_];
}

// --- editing ---

EditMode Recordset::GetEditMode() const {
    return editMode_;
}

void Recordset::MatchOnUpdate(const std::string& column, bool on) {
    Fields(column);  // error 3265 for an unknown name
    rows_->columns[static_cast<size_t>(FieldIndex(column))].matched = on;
}

bool Recordset::HasPendingChanges() const {
    return rows_ && (editMode_ != adEditNone || rows_->HasPendingChanges());
}

void Recordset::SetFieldValue(int index, const com::Variant& v) {
    const detail::Column& column = Column(index);
    Row& row = CurrentRow();
    RequireWritableLock(lockType_);
    if (!column.updatable)
        throw com::ComError(
            com::err::OperationNotAllowed,
            "Field " + column.name + " is computed by the query: it cannot be changed");
    com::Variant value = detail::ConvertForColumn(column, v);
    if (editMode_ == adEditNone) {
        editMode_ = adEditInProgress;
        editRow_ = &row;
        editBackup_ = row.values;
        editBackupOriginal_ = row.original ? *row.original : detail::RowValues();
        editBackupState_ = static_cast<int>(row.state);
    }
    row.KeepOriginal();
    row.values[index] = std::move(value);
    rows_->Touch();
}

void Recordset::AddNew() {
    RequireOpen();
    RequireWritableLock(lockType_);
    SettleEdit();
    auto row = std::make_unique<Row>();
    row->values.assign(rows_->columns.size(), com::Variant::Null());
    row->KeepOriginal();
    row->state = RowState::Added;
    editRow_ = row.get();
    editMode_ = adEditAdd;
    positionBeforeAdd_ = position_;
    PutRow(rows_->rows.size(), std::move(row));
    position_ = RecordCount() - 1;
    NotifyMove();
}

void Recordset::Update() {
    RequireOpen();
    if (editMode_ == adEditNone) return;
    Row& row = *editRow_;
    if (row.state == RowState::Unchanged) {
        bool changed = false;
        for (size_t c = 0; c < row.values.size() && !changed; ++c)
            changed = !(row.values[c] == row.Original(c));
        if (changed)
            row.state = RowState::Modified;
        else
            row.MarkClean();
    }
    if (row.state != RowState::Unchanged) row.changedAs = ++rows_->changes;
    if (lockType_ != adLockBatchOptimistic && row.state != RowState::Unchanged)
        SendNow(row, static_cast<int>(row.state == RowState::Added ? detail::Change::Insert
                                                                   : detail::Change::Update));
    ClearEdit();
}

void Recordset::SettleEdit() {
    if (editMode_ != adEditNone) Update();
}

void Recordset::SendNow(Row& row, int change) {
    auto stored =
        detail::SendChange(*connection_, *rows_, row, static_cast<detail::Change>(change));
    if (stored) row.values = std::move(*stored);
    row.MarkClean();
    rows_->Touch();
}

void Recordset::RestoreEdit() {
    Row& row = *editRow_;
    row.values = std::move(editBackup_);
    row.original = editBackupOriginal_.empty()
                       ? nullptr
                       : std::make_unique<detail::RowValues>(std::move(editBackupOriginal_));
    row.state = static_cast<RowState>(editBackupState_);
    rows_->Touch();
    ClearEdit();
}

void Recordset::ClearEdit() {
    editMode_ = adEditNone;
    editRow_ = nullptr;
    editBackup_.clear();
    editBackupOriginal_.clear();
}

void Recordset::CancelUpdate() {
    RequireOpen();
    if (editMode_ == adEditNone) return;
    if (editMode_ == adEditInProgress) {
        RestoreEdit();
        return;
    }
    auto& rows = rows_->rows;
    auto it = std::find_if(rows.rbegin(), rows.rend(),
                           [&](const auto& r) { return r.get() == editRow_; });
    ClearEdit();
    if (it != rows.rend()) TakeRow(static_cast<size_t>(std::distance(it, rows.rend()) - 1));
    position_ = std::min(positionBeforeAdd_, RecordCount());
    NotifyMove();
}

std::unique_ptr<Row> Recordset::TakeRow(size_t index) {
    auto& rows = rows_->rows;
    std::unique_ptr<Row> row = std::move(rows[index]);
    rows.erase(rows.begin() + static_cast<ptrdiff_t>(index));
    row->listPlace = static_cast<uint32_t>(index);
    rows_->Touch();
    const auto at = static_cast<int32_t>(index);
    for (Recordset* cursor : rows_->cursors) {
        if (cursor->position_ > at) --cursor->position_;
        if (cursor != this && cursor->editRow_ == row.get()) cursor->ClearEdit();
    }
    return row;
}

void Recordset::PutRow(size_t index, std::unique_ptr<Row> row) {
    auto& rows = rows_->rows;
    rows.insert(rows.begin() + static_cast<ptrdiff_t>(index), std::move(row));
    rows_->Touch();
    const auto at = static_cast<int32_t>(index);
    for (Recordset* cursor : rows_->cursors)
        if (cursor->position_ >= at) ++cursor->position_;
}

void Recordset::Delete() {
    Row& row = CurrentRow();
    RequireWritableLock(lockType_);
    if (editMode_ == adEditAdd) {
        CancelUpdate();
        return;
    }
    if (editMode_ == adEditInProgress) RestoreEdit();
    if (row.state != RowState::Added) {
        if (lockType_ == adLockBatchOptimistic) {
            rows_->deleted.push_back(TakeRow(position_));
        } else {
            detail::SendChange(*connection_, *rows_, row, detail::Change::Delete);
            TakeRow(position_);
        }
    } else {
        TakeRow(position_);  // never sent: nothing to delete in the database
    }
    position_ = std::min(position_, std::max(RecordCount() - 1, 0));
    NotifyMove();
}

void Recordset::UpdateBatch() {
    RequireOpen();
    RequireWritableLock(lockType_);
    SettleEdit();
    struct Pending {
        Row* row;
        detail::Change change;
        std::optional<detail::RowValues> stored;
    };
    std::vector<Pending> pending;
    for (const auto& row : rows_->deleted)
        pending.push_back({row.get(), detail::Change::Delete, {}});
    for (const auto& row : rows_->rows) {
        if (row->state == RowState::Modified)
            pending.push_back({row.get(), detail::Change::Update, {}});
        else if (row->state == RowState::Added)
            pending.push_back({row.get(), detail::Change::Insert, {}});
    }
    if (pending.empty()) return;
    // Rows are written in the order they were changed: whoever watches the connection sees the
    // row an action changed last written last.
    std::stable_sort(
        pending.begin() + static_cast<ptrdiff_t>(rows_->deleted.size()), pending.end(),
        [](const Pending& a, const Pending& b) { return a.row->changedAs < b.row->changedAs; });
    // On failure the rows stay pending and nothing is written.
    Transaction transaction(*connection_);
    for (auto& p : pending) p.stored = detail::SendChange(*connection_, *rows_, *p.row, p.change);
    transaction.Commit();
    for (auto& p : pending) {
        if (p.stored) p.row->values = std::move(*p.stored);
        p.row->MarkClean();
    }
    rows_->deleted.clear();
    rows_->Touch();
}

void Recordset::CancelBatch() {
    RequireOpen();
    if (editMode_ == adEditAdd)
        CancelUpdate();
    else if (editMode_ == adEditInProgress)
        RestoreEdit();
    auto& rows = rows_->rows;
    // Back in reverse order of deletion, each at the place it was taken from.
    auto deleted = std::move(rows_->deleted);
    rows_->deleted.clear();
    for (auto it = deleted.rbegin(); it != deleted.rend(); ++it) {
        size_t place = std::min<size_t>((*it)->listPlace, rows.size());
        PutRow(place, std::move(*it));
    }
    for (size_t i = rows.size(); i-- > 0;)
        if (rows[i]->state == RowState::Added) TakeRow(i);
    for (auto& row : rows) {
        if (row->original) row->values = *row->original;
        row->MarkClean();
    }
    rows_->Touch();
    position_ = std::clamp(position_, 0, std::max(RecordCount() - 1, 0));
    NotifyMove();
}

}  // namespace ado
