#pragma once
// The criteria maintenance window: its public variables, its private state, its controls and
// every procedure and handler. The procedures live in the window/ sources, one per concern.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "contracts/cinterface.h"
#include "contracts/controls.h"
#include "contracts/models.h"
#include "contracts/record_frame.h"
#include "host/live_objects.h"
#include "platform/ado/connection.h"
#include "platform/ado/recordset.h"
#include "platform/ado/transaction.h"
#include "platform/com/events.h"
#include "platform/com/server.h"
#include "platform/ui/form.h"
#include "platform/ui/list_box.h"
#include "platform/ui/tree_view.h"

namespace dravel {

inline constexpr const char* kWindowName = "FRM_MGQUINTAB";

// Whether two values differ; a comparison with Null is never true, so Null differs from nothing.
bool ValuesDiffer(const com::Variant& a, const com::Variant& b);

// A control array of two one-button toolbars (elements 0 and 1).
using ToolbarPair = std::array<com::ComPtr<host::IToolbar>, 2>;

class FRM_MGQUINTAB
    : public com::ComObject<FRM_MGQUINTAB, ui::Form, host::IRecordFrameEvents, host::IGridEvents,
                            host::INavBarEvents, host::IToolbarEvents, host::IEditEvents,
                            host::IMdiHostEvents, ui::ITreeViewEvents, ui::IListBoxEvents> {
  public:
    // A new window with its controls created and subscribed, not loaded yet.
    static com::ComPtr<FRM_MGQUINTAB> Create();

    // Public variables.
    com::ComPtr<com::IUnknown> ActiveClass;
    com::ComPtr<host::ILogService> GclsLog;
    com::ComPtr<host::Cinterface> ActiveInterface;
    com::ComPtr<ado::Connection> GconConnect;
    com::ComPtr<host::IConnectionSupplier> GclsConnect;
    std::string GstrConnect;

    // Puts a question or a notice in front of the user through the first channel available:
    // the log service, the platform message box (no module), the host's text service.
    int32_t ShowMessage(const std::string& text, int32_t flags, std::string& title,
                        const std::string& procedure);

    // The grid, published to the host's layout model.
    com::ComPtr<com::IUnknown> GridObject();

    // IRecordFrameEvents: the record frame's events (FME_PARENT_*).
    com::HRESULT AfterDelete(int32_t operationResult) noexcept override;
    com::HRESULT AfterUndo(int32_t operationResult) noexcept override;
    com::HRESULT AfterUpdate(int32_t operationResult) noexcept override;
    com::HRESULT BeforeDelete(com::VARIANT_BOOL& cancel) noexcept override;
    com::HRESULT BeforeUpdate(com::VARIANT_BOOL& cancel) noexcept override;
    com::HRESULT AfterAddNew(int32_t operationResult) noexcept override;
    com::HRESULT AfterMove(int32_t operationResult, int32_t reason) noexcept override;
    com::HRESULT ChangeStatus(int32_t status, int32_t reason) noexcept override;
    com::HRESULT ValidateRecord(com::IUnknown*& control,
                                std::string& personalizedMessage) noexcept override;
    // IGridEvents
    com::HRESULT FormatCell(std::string& text, const std::string& column,
                            const com::Variant& extra) noexcept override;
    // INavBarEvents
    com::HRESULT ButtonAction(int32_t flag, const std::string& key) noexcept override;
    // IToolbarEvents: every toolbar of the window reports here; the element tells which.
    com::HRESULT ButtonClick(host::IToolbar* toolbar) noexcept override;
    // IEditEvents
    com::HRESULT GotFocus(host::IEditControl* field) noexcept override;
    // IMdiHostEvents
    com::HRESULT FormLoad() noexcept override;
    // ui::ITreeViewEvents
    com::HRESULT TreeDblClick(ui::TreeView* tree) noexcept override;
    com::HRESULT TreeNodeClick(ui::TreeView* tree, ui::TreeNode* node) noexcept override;
    // ui::IListBoxEvents
    com::HRESULT ListClick(ui::ListBox* list) noexcept override;

  private:
    // Keeps the library loaded while the window lives (a host may hold it past the instance).
    com::LiveObject live_{LiveObjects()};

    friend class com::ComObject<FRM_MGQUINTAB, ui::Form, host::IRecordFrameEvents,
                                host::IGridEvents, host::INavBarEvents, host::IToolbarEvents,
                                host::IEditEvents, host::IMdiHostEvents, ui::ITreeViewEvents,
                                ui::IListBoxEvents>;
    FRM_MGQUINTAB();
    ~FRM_MGQUINTAB() override;

    // Creation (frm_mgquintab.cpp): controls with their design settings, layout, subscriptions.
    void CreateControls();
    void LayoutControls();
    void SubscribeControls();

    // Lifecycle (window_lifecycle.cpp).
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload() override;
    void FirstActivation();
    void RefreshHostState();
    void LoadSelectedFields();
    void NotifyScriptModel();
    void MDIActiveX1_FormLoad();
    // The log record of a failed handler: the error, then "0_0_0_0", the window, the procedure.
    void ReportFailure(const com::ComError& error, const std::string& procedure);
    // Report and close: a failure is logged and the window unloads.
    template <class F>
    void ReportAndUnload(const std::string& procedure, F&& body);

    // Host objects reached through ActiveInterface.
    com::ComPtr<host::IGlobal> HostGlobal();
    com::ComPtr<host::INavigator> HostNavigator();
    std::string TranslateText(std::string text);

    // Navigation (navigation.cpp).
    template <class F>
    com::HRESULT GuardAndReport(const char* procedure, F&& body) noexcept;
    void INTERNAV_ButtonAction(int32_t flag, const std::string& key);
    void TBR_REFRESH_ButtonClick();

    // Grid (criteria_grid.cpp).
    void FillTypeCombo();
    void SetupGrid();
    void FormatTypeCell(std::string& text, const std::string& column);
    void ReloadCriteria();
    // The position of a criterion in the list as last read; 0 when it is not listed.
    int32_t ListedPosition(int32_t criterionId);

    // Record lifecycle (record_lifecycle.cpp).
    void FME_PARENT_AfterAddNew(int32_t operationResult);
    void FME_PARENT_BeforeUpdate(com::VARIANT_BOOL& cancel);
    void FME_PARENT_AfterUpdate(int32_t operationResult);
    void FME_PARENT_BeforeDelete(com::VARIANT_BOOL& cancel);
    void FME_PARENT_AfterDelete(int32_t operationResult);
    void FME_PARENT_AfterUndo(int32_t operationResult);
    void FME_PARENT_AfterMove(int32_t operationResult, int32_t reason);
    void FME_PARENT_ChangeStatus(int32_t status, int32_t reason);
    void FME_PARENT_ValidateRecord(com::IUnknown*& control, std::string& personalizedMessage);
    int32_t NextPriority(int32_t postingType);
    // The posting type chosen in CBO_TIPO (not the one stored in the row).
    int32_t SelectedPostingType();
    // Whether the save changes the stored structure of the current criterion (never a new one).
    bool ChangesStructure();
    // The number of counter-account matrix rows of the current criterion.
    int32_t MatrixRowCount();
    // The current row goes to the end of the posting type chosen in CBO_TIPO.
    void PlaceAtEndOfSelectedType();
    // The saved criterion takes `place` (clamped to 1..n) among the criteria of its type.
    void PlaceSavedCriterion(int32_t criterionId, int32_t postingType, int32_t place);

    // One user action, one transaction (record_lifecycle.cpp): begun in a "before" event, ended
    // in the "after" event of the same operation.
    void BeginAction();
    // Runs the rest of the action and commits it; any failure rolls the whole action back.
    template <class F>
    void FinishAction(F&& work);
    void AbandonAction() { action_.reset(); }

    // Priorities (priorities.cpp).
    void RenumberPriorities(int32_t postingType);
    void TBAR_PRIORITY_ButtonClick(int16_t index);

    // Field-structure editor (field_editor.cpp).
    int32_t BuildAttributeTree();
    void AddTreeNode(std::string& line);
    void ResetFieldEditor();
    void RebuildStructure();
    void MoveSelectedField(int32_t direction);
    bool IsSelectableNode(ui::TreeNode& node);
    // Lists the attributes of a stored structure: 4-character codes up to the first empty piece.
    void LoadStructure(const std::string& structure);
    // The captions of the chosen attributes in list order, joined by ", ".
    std::string ComposedDescription();
    // The tree node a list entry stands for.
    ui::TreeNode& EntryNode(int32_t position);
    void TVW_FIELDS_DblClick();
    void TBAR_SELECT_ButtonClick(int16_t index);
    void TBAR_FIELDS_ButtonClick(int16_t index);
    void TXT_STRUT_GotFocus();

    // Attribute rules (attribute_rules.cpp).
    void AddAttribute(const std::string& key);
    bool RemoveAttribute(const std::string& key);
    bool IsAttributeListed(const std::string& key);
    ui::TreeNode* FindAttributeNode(const std::string& key, bool& found);
    bool HasCustomerAttribute();
    bool HasSupplierAttribute();
    bool ItemClassesNested();
    bool ListHasNodeWithParent(const std::string& parentKey);
    // Marks the chosen attributes as changed on the frame and the navigation bar.
    void MarkAttributesChanged();

    // Private state.
    std::optional<ado::Transaction> action_;  // the user action under way, if any
    // The save under way: the type the row had, and the place it asks for (none: it keeps its
    // rank among the others; the end of its type for a new type, or a new row whose priority
    // was left as the window gave it).
    struct PendingSave {
        std::optional<int32_t> fromType;
        std::optional<int32_t> place;
    } pendingSave_;
    std::optional<int32_t> deletedType_;  // the type of the row being deleted
    int32_t newRowPriority_ = 0;          // the priority the window gave the new row
    bool ActivatedOnce = false;
    bool Initialised = false;
    com::Variant CompanyCode;
    com::ComPtr<host::IRecordsetSupplier> RecordsetFactory;
    com::ComPtr<ado::Recordset> CriteriaRecordset;
    std::string CriteriaSql;
    com::ComPtr<host::IRecordFrame> FME_PARENT;

    // Controls.
    com::ComPtr<host::IMdiHost> MDIActiveX1;
    com::ComPtr<host::IGridControl> QGRID;
    com::ComPtr<host::INavBar> INTERNAV;
    com::ComPtr<host::IComboControl> CBO_TIPO;
    com::ComPtr<host::IEditControl> TXT_PRIORITA;
    com::ComPtr<host::IEditControl> TXT_DESCR;
    com::ComPtr<host::IEditControl> TXT_STRUT;
    com::ComPtr<host::IToolbar> TBR_REFRESH;
    ToolbarPair TBAR_PRIORITY;
    ToolbarPair TBAR_SELECT;
    ToolbarPair TBAR_FIELDS;
    com::ComPtr<ui::TreeView> TVW_FIELDS;
    com::ComPtr<ui::ListBox> LST_FIELDS;
    com::ComPtr<host::ICaptionControl> GRB_COMPSTR;
    com::ComPtr<host::ICaptionControl> LBL_TIPO;
    com::ComPtr<host::ICaptionControl> LBL_PRIORITA;
    com::ComPtr<host::ICaptionControl> LBL_DESC;
    com::ComPtr<host::ICaptionControl> LBL_STRUT;
    com::ComPtr<host::ICaptionControl> LBL_DASELEZIONARE;
    com::ComPtr<host::ICaptionControl> LBL_SELEZIONATI;
    com::ComPtr<host::IResizeControl> KVR_RESIZEFORM1;

    // Subscriptions to the events the window handles.
    com::EventConnection frameEvents_;
    std::vector<com::EventConnection> controlEvents_;
};

}  // namespace dravel
