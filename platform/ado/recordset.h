#pragma once
// A client-side static cursor: every row in memory, positioned by the client.
// Clones share the rows and keep their own position.

#include <memory>
#include <string>
#include <vector>

#include "platform/ado/connection.h"
#include "platform/ado/types.h"
#include "platform/com/events.h"
#include "platform/com/variant.h"

namespace ado {

namespace detail {
struct RowCache;
struct Row;
struct Column;
struct QueryResult;
}  // namespace detail

class Recordset;

// Error 3197, the one a write-back that matches no row raises: the row (named for the log as
// "TABLE, KEY = value") was changed or deleted by another user since it was read.
com::ComError ChangedByAnotherUser(const std::string& row);

// One column of the current row of a recordset.
class Field {
  public:
    Field(Recordset* rs, int index) : rs_(rs), index_(index) {}
    const std::string& Name() const;
    int Index() const { return index_; }
    com::VarType Type() const;
    int32_t DefinedSize() const;  // maximum characters of a text column (0 when unknown)

    com::Variant Value() const;
    void SetValue(const com::Variant& v);  // starts an edit of the current row
    com::Variant OriginalValue() const;    // the value as last read from or written to the database
    com::Variant UnderlyingValue() const;  // the value the database holds now (re-read by key)

  private:
    Recordset* rs_;
    int index_;
};

// Notifications to components bound to a recordset.
struct IRecordsetEvents : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("00000266-0000-0010-8000-00AA006D2EA4");
    // The current row changed: a move, a requery, a delete, an added row.
    virtual com::HRESULT MoveComplete(Recordset* rs) noexcept = 0;

  protected:
    ~IRecordsetEvents() = default;
};

struct IRecordset : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("00000535-0000-0010-8000-00AA006D2EA4");

  protected:
    ~IRecordset() = default;
};

class Recordset : public com::ComObject<Recordset, IRecordset, com::IEventSource> {
  public:
    static com::ComPtr<Recordset> Create();
    static com::ComPtr<Recordset> From(com::IUnknown* object);

    // Settings that Open uses when its arguments are -1 (unspecified).
    CursorType GetCursorType() const { return cursorType_; }
    void SetCursorType(CursorType t);
    LockType GetLockType() const { return lockType_; }
    void SetLockType(LockType t);
    CursorLocation GetCursorLocation() const { return adUseClient; }

    // Opens `source` (a query text) on `connection`. -1 keeps the settings the object has.
    void Open(const std::string& source, Connection* connection, int32_t cursorType = -1,
              int32_t lockType = -1, int32_t options = -1);
    void Close();
    ObjectState State() const;
    void Requery(int32_t options = -1);
    // A second cursor over the same rows with its own position (-1: this lock type). Rows added
    // or deleted through either cursor are seen by both, and each stays on its row; a Requery
    // gives the requeried cursor rows of its own.
    com::ComPtr<Recordset> Clone(int32_t lockType = -1);

    const std::string& Source() const { return source_; }
    com::ComPtr<Connection> ActiveConnection() const { return connection_; }

    int32_t RecordCount() const;
    // 1-based position; adPosBOF/adPosEOF/adPosUnknown when not on a row.
    int32_t AbsolutePosition() const;
    void SetAbsolutePosition(int32_t position);  // error 3001 when out of 1..RecordCount
    bool Bof() const;                            // BOF (the C library owns the name EOF)
    bool Eof() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void Move(int32_t rows);

    // The current row's key as the database holds it (Null for a row not yet added): it finds the
    // row again after a requery. Error 3219 when the rows have no key, 3021 off the rows.
    com::Variant Bookmark() const;
    // Moves to the row whose key is `bookmark`; false, and no move, when no row has it.
    bool GoToBookmark(const com::Variant& bookmark);

    // Changes whenever rows are added, deleted, read again or their values change (through this
    // cursor or a clone): a view over the rows redraws them when it differs from what it drew.
    uint64_t RowsVersion() const;

    int FieldCount() const;
    Field Fields(int index);
    Field Fields(const std::string& name);          // error 3265 for an unknown name
    int FieldIndex(const std::string& name) const;  // -1 when none

    EditMode GetEditMode() const;
    void AddNew();
    // Writes the current row's changes; with batch locking keeps them pending until UpdateBatch.
    // Moving to another row or adding one first updates a row being edited, as ADO does.
    // A write that matches no row is a conflict (error 3197 naming the table and the key): the
    // row keeps its pending values.
    void Update();
    void CancelUpdate();
    // Deletes the current row (with batch locking: pending until UpdateBatch). The row that
    // followed it becomes current, or the new last row when it was the last.
    void Delete();
    // Sends all pending changes in one transaction; on failure nothing is written and the
    // changes stay pending.
    void UpdateBatch();
    void CancelBatch();
    // While on, every update of these rows (through any clone) also matches the column's value
    // as read, changed or not: a row whose column another user changed meanwhile is a conflict.
    void MatchOnUpdate(const std::string& column, bool on);
    bool HasPendingChanges() const;

    // IEventSource
    com::HRESULT Advise(const com::Guid& iid, com::IUnknown* sink,
                        uint32_t* cookie) noexcept override;
    com::HRESULT Unadvise(uint32_t cookie) noexcept override;

  private:
    friend class com::ComObject<Recordset, IRecordset, com::IEventSource>;
    friend class Field;
    friend class Connection;
    Recordset();
    ~Recordset() override;
    void NotifyMove();

    // Takes over rows already read (Connection::Execute): a read-only result.
    void OpenResult(const std::string& source, Connection* connection,
                    detail::QueryResult&& result);
    void Load();  // runs source_ on connection_ into a new row cache, on the first row
    void RequireOpen() const;
    detail::Row& CurrentRow() const;                // error 3021 when not on a row
    const detail::Column& Column(int index) const;  // error 3265 when out of range
    void SetFieldValue(int index, const com::Variant& v);
    void SettleEdit();            // updates a row being edited before the cursor leaves it
    void GoTo(int32_t position);  // moves there, updating an edit first, and notifies
    void UseRows(std::shared_ptr<detail::RowCache> rows);  // leaves the old rows' cursors
    // Out of the list and back in, keeping every cursor over the rows on its own row; a cursor
    // editing a row that leaves the list loses that edit.
    std::unique_ptr<detail::Row> TakeRow(size_t index);
    void PutRow(size_t index, std::unique_ptr<detail::Row> row);
    void SendNow(detail::Row& row, int change);
    void RestoreEdit();  // the row being edited as it was before the edit
    void ClearEdit();

    CursorType cursorType_ = adOpenStatic;
    LockType lockType_ = adLockBatchOptimistic;
    std::string source_;
    com::ComPtr<Connection> connection_;
    std::shared_ptr<detail::RowCache> rows_;
    int32_t position_ = 0;  // 0-based index into the visible rows; -1 BOF; size EOF
    // The edit in progress on this cursor: its row and what CancelUpdate restores.
    EditMode editMode_ = adEditNone;
    detail::Row* editRow_ = nullptr;
    std::vector<com::Variant> editBackup_;
    std::vector<com::Variant> editBackupOriginal_;
    int editBackupState_ = 0;
    int32_t positionBeforeAdd_ = 0;
    com::EventSinks<IRecordsetEvents> sinks_;
};

}  // namespace ado
