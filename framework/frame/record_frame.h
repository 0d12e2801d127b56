#pragma once
// The record frame (RecordFrameLib.RecordFrame): the recordset's current row is the frame's
// current row. It shows the rows in the grid and the current row in the bound controls, follows
// every move of the recordset made by code, performs the navigation bar's "Nuovo", "Conferma",
// "Annulla" and "Elimina", settles a modified row before leaving it, and raises its before and
// after events synchronously. A failed or refused save keeps the user's edit on screen.
//
// The boolean arguments of RefreshRow, SaveRecord, MovePrevious and MoveNext are accepted for
// the contract and not read: the frame always settles before a move and always notifies.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "contracts/record_frame.h"
#include "framework/controls/control_model.h"
#include "framework/controls/frame_links.h"
#include "platform/ui/toolkit.h"

namespace framework {

// Why the frame moved or changed status, as AfterMove and ChangeStatus report it.
namespace frame_reason {
inline constexpr int32_t CodeMove = 0;  // the recordset was moved by code
inline constexpr int32_t Next = 1;
inline constexpr int32_t Previous = 2;
inline constexpr int32_t GridLine = 3;
inline constexpr int32_t AddNew = 4;
inline constexpr int32_t Delete = 5;
inline constexpr int32_t Undo = 6;
inline constexpr int32_t Save = 7;
inline constexpr int32_t Source = 8;  // InitFrame, AttachSource, EndDirectChange
}  // namespace frame_reason

class RecordFrame
    : public com::ComObject<RecordFrame, host::IRecordFrame, RaisesEvents<host::IRecordFrameEvents>,
                            LateBound, ado::IRecordsetEvents> {
  public:
    RecordFrame();
    ~RecordFrame() override;

    // host::IRecordFrame
    int32_t CurrentRow() override;
    int32_t RowCount() override;
    com::ComPtr<ado::Recordset> Recordset() override { return rs_; }
    void SetProgramMode(int32_t mode) override { programMode_ = mode; }
    int32_t Status() override { return status_; }
    bool Modified() override { return modified_; }
    void SetModified(bool modified) override;
    // Takes the recordset (and follows its moves), the bar (performs its buttons, keeps their
    // states) and the grid (fills it, follows its line selection). The bar is handed the frame
    // and the grid as its two object references; whoever unloads the window clears them.
    void InitFrame(host::Cinterface* module, ado::Connection* connection, ado::Recordset* recordset,
                   const std::string& sql, const std::string& descriptionColumn,
                   host::INavBar* navBar, host::IGridControl* grid) override;
    void AttachSource(const std::string& sql) override;
    void DetachSource() override;
    // A control the frame watches without showing a column in it: the user's edits in it mark
    // the row modified, and it is emptied when a new row starts (before the AfterAddNew handler
    // fills the new row's defaults, so nothing of the previous row lingers in it).
    void AddExtraControl(host::IBoundControl* control) override;
    // Binds the control to the column named by its DBField (error 3265 when there is none) and
    // shows the current row's value. The companion object is not used.
    void BindControl(host::IBoundControl* control, com::IUnknown* companion) override;
    bool RefreshRow(bool, bool) override;
    bool SaveRecord(bool, bool, bool) override;
    bool MovePrevious(bool, bool) override;
    bool MoveNext(bool, bool) override;
    // The code writes the rows itself (the busy sign is shown until the change ends).
    void BeginDirectChange() override;
    void EndDirectChange() override;
    void NotifyModified() override { SetModified(true); }
    // Saves the current row; a refusal or failure has been shown to the user.
    void Update() override;

    // ado::IRecordsetEvents
    com::HRESULT MoveComplete(ado::Recordset* rs) noexcept override;

    int32_t ProgramMode() const { return programMode_; }
    const std::string& Sql() const { return sql_; }
    const std::string& DescriptionColumn() const { return descriptionColumn_; }

  private:
    struct Binding {
        com::ComPtr<host::IBoundControl> control;
        com::ComPtr<IFrameField> field;  // unset for a control of another maker
        std::string shown;               // the control's text when the frame last showed the row
    };
    // Marks the frame's own calls on the recordset, whose move notifications it ignores.
    class OwnMove {
      public:
        explicit OwnMove(RecordFrame& f) : f_(f) { ++f_.ownMoves_; }
        ~OwnMove() { --f_.ownMoves_; }
        OwnMove(const OwnMove&) = delete;
        OwnMove& operator=(const OwnMove&) = delete;

      private:
        RecordFrame& f_;
    };

    // What the frame shows (frame_display.cpp).
    bool HasSource();
    bool HasRow();
    void ShowRows();
    void ShowCurrentLine();
    void ShowControls();
    void ShowButtons();
    void ShowAll();
    void Follow(int32_t reason);
    void SetStatus(int32_t status, int32_t reason);
    void OnEdited();

    // Events and messages (record_frame.cpp).
    // Raises an event; a handler's failure is shown and answers false.
    bool Notify(const std::function<com::HRESULT(host::IRecordFrameEvents*)>& raise);
    std::string MessageTitle();
    void ShowFailure(const com::ComError& e);
    void LogFollowingFailure(const com::ComError& e);

    // Saving (frame_save.cpp).
    bool Settle(int32_t reason);
    bool Save(int32_t reason);
    bool Validate();
    void CopyControlsToRow();
    // The current row's values and edit mode, and putting them back after a refused save.
    struct RowSnapshot {
        ado::EditMode mode = ado::adEditNone;
        int32_t position = 0;
        std::vector<com::Variant> values;
    };
    RowSnapshot Snapshot();
    void PutBack(const RowSnapshot& before);
    void WriteRow();
    bool IsBatch();
    // The rows as stored now (after a failure that undid a save or a delete, an undo), on the
    // row with `key`, else at `position`; whether the row was found.
    bool ReadRowsAgain(const com::Variant& key, int32_t position);
    struct FieldChange {
        int index;
        com::Variant value;
    };
    std::vector<FieldChange> RowChanges();
    // A save or a delete undone after its write whose rows could not be read again (the server
    // went): they are read before the next save or delete (see KeepEdit).
    struct UnreadSave {
        std::vector<FieldChange> edit;
        com::Variant key;
        int32_t position;
        int32_t statusBefore;
    };
    void KeepEdit(const UnreadSave& save);
    // Reads the rows a failed save or delete could not read; whether they are read now.
    bool ReadUnread();
    bool Apply(const std::vector<FieldChange>& changes);

    // The navigation bar's buttons and the moves the user asks for (frame_actions.cpp).
    bool PerformKey(const std::string& key);
    bool AddNewRow();
    bool UndoRow();
    bool DeleteRow();
    void ShowStoredAfterDelete(const com::Variant& key, int32_t at);
    bool MoveBy(int32_t step, int32_t reason);
    bool GoTo(int32_t row, int32_t reason);
    void SelectLine(int32_t line);

    void Unhook();

    com::ComPtr<host::Cinterface> module_;
    com::ComPtr<ado::Connection> connection_;
    com::ComPtr<ado::Recordset> rs_;
    com::EventConnection recordsetEvents_;
    com::ComPtr<host::INavBar> navBar_;
    com::ComPtr<IFrameNavBar> barLink_;
    com::ComPtr<host::IGridControl> grid_;
    com::ComPtr<IFrameGrid> gridLink_;
    std::vector<Binding> bindings_;
    std::vector<Binding> extras_;
    std::string name_, sql_, descriptionColumn_;
    int32_t programMode_ = 0;
    int32_t status_ = host::frame_status::Empty;
    bool modified_ = false;
    bool attached_ = false;
    bool settling_ = false;
    int32_t direct_ = 0;
    std::optional<ui::BusyScope> directBusy_;
    int32_t ownMoves_ = 0;
    int32_t rowBeforeNew_ = 0;
    uint64_t shownRows_ = 0;  // the recordset's RowsVersion the grid's lines were drawn from
    std::optional<UnreadSave> unread_;
};

}  // namespace framework
