#pragma once
// The host's own window "Matrice contropartite": the counter-account rows (MGA1_MATRCPAR) of one
// criterion of the active company, in a grid over a record frame, with one field per attribute
// of the criterion's structure and one for the account. The fields follow the structure, so they
// are made again, with the bar, the grid and the frame, whenever another criterion is chosen; the
// toolkit is told (ui::Toolkit::FormControlsChanged), for a view to be made again.
//
// Controls: the navigation bar INTERNAV (while a criterion is shown); CBO_TIPO (posting type) and
// CBO_CRITERIO (its criteria, "priority. description"); the grid GRD_RIGHE; the fields TXT_VALORE01
// .. TXT_VALORE10 (as many as the structure has attributes) and TXT_CONTO, each with its label
// LBL_VALORE01 .., LBL_CONTO.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "contracts/controls.h"
#include "contracts/record_frame.h"
#include "determination/criteria_data.h"
#include "platform/ado/connection.h"
#include "platform/ado/recordset.h"
#include "platform/ado/transaction.h"
#include "platform/ado/watcher.h"
#include "platform/com/events.h"
#include "platform/ui/form.h"

namespace framework {

inline constexpr const char* kMatrixWindowName = "FRM_MATRCPAR";
inline constexpr const char* kMatrixCaption = "Matrice contropartite";

class MatrixWindow : public com::ComObject<MatrixWindow, ui::Form, host::IRecordFrameEvents> {
  public:
    // A window on the database for the company, with its fixed controls, not loaded yet.
    // `watcher` (if any) watches the window's connection.
    static com::ComPtr<MatrixWindow> Create(std::string connectionString, int32_t company,
                                            std::shared_ptr<ado::Watcher> watcher = nullptr);

    // Shows the rows of the company's criterion `id` (error 3021 when the company has none such):
    // the type and the criterion are chosen in the combos, and the grid and the fields are made
    // for its structure. Without an id, the first criterion of the company. The current row is
    // settled first; false when that was refused (the window stays as it was).
    bool ShowCriterion(int32_t company, std::optional<int32_t> id);
    // Saves the current row when it was edited; false when the save was refused or failed (the
    // user was told and the edit stays).
    bool SettleRow();

    int32_t Company() const { return company_; }
    // The window's own connection, which the host's recorders watch.
    ado::Connection& Database() const { return *connection_; }
    // The criterion shown, if any.
    std::optional<int32_t> Criterion() const;
    // The record frame over the criterion's rows; unset while no criterion is shown.
    com::ComPtr<host::IRecordFrame> Frame() const { return frame_; }

    // host::IRecordFrameEvents
    com::HRESULT AfterDelete(int32_t operationResult) noexcept override;
    com::HRESULT AfterUndo(int32_t) noexcept override { return com::S_OK; }
    com::HRESULT AfterUpdate(int32_t operationResult) noexcept override;
    com::HRESULT BeforeDelete(com::VARIANT_BOOL& cancel) noexcept override;
    com::HRESULT BeforeUpdate(com::VARIANT_BOOL& cancel) noexcept override;
    com::HRESULT AfterAddNew(int32_t operationResult) noexcept override;
    com::HRESULT AfterMove(int32_t, int32_t) noexcept override { return com::S_OK; }
    com::HRESULT ChangeStatus(int32_t, int32_t) noexcept override { return com::S_OK; }
    com::HRESULT ValidateRecord(com::IUnknown*&, std::string&) noexcept override {
        return com::S_OK;
    }

  private:
    friend class com::ComObject<MatrixWindow, ui::Form, host::IRecordFrameEvents>;
    MatrixWindow(std::string connectionString, int32_t company);
    ~MatrixWindow() override;

    void Form_Load() override;
    void Form_Unload() override;

    // The combos (matrix_window.cpp).
    void CreateFixedControls();
    // Lists the type's criteria; the first one's key, if any.
    std::optional<int32_t> FillCriteria(int32_t type);
    void Follow(void (MatrixWindow::*choice)());
    void TypeChosen();
    void CriterionChosen();

    // The criterion's controls and frame (matrix_fields.cpp).
    void MakeFor(std::optional<determination::Criterion> criterion);
    void DropCriterionControls();
    void MakeCriterionControls();
    void MakeFrame();
    void ReloadRows();

    // The rows' actions (matrix_rows.cpp).
    void BeginAction();
    void FinishAction(const std::function<void()>& work);
    void AbandonAction() { action_.reset(); }
    // Why the row on screen cannot be saved, in the user's language; empty when it can.
    std::string SaveRefusal();
    void KeepTrimmed();

    static constexpr const char* kAccount = "MGA1_CONTO";

    std::string connectionString_;
    int32_t company_;
    com::ComPtr<ado::Connection> connection_;
    std::shared_ptr<ado::Watcher> watcher_;
    std::optional<ado::Transaction> action_;  // the user action under way, if any
    std::optional<determination::Criterion> criterion_;
    com::ComPtr<ado::Recordset> rows_;
    std::string rowsSql_;
    com::ComPtr<host::IRecordFrame> frame_;
    com::EventConnection frameEvents_;

    com::ComPtr<host::INavBar> bar_;
    com::ComPtr<host::IComboControl> types_, criteria_;
    com::ComPtr<host::IGridControl> grid_;
    std::vector<std::string> criterionControls_;  // the names of the controls made for it
};

}  // namespace framework
