#pragma once
// What the host does around a module: opens the database, keeps the active company, creates
// the module by program identifier, hands it the host objects, shows and closes its window and
// raises the navigator's events to it.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "contracts/cinterface.h"
#include "contracts/module_identity.h"
#include "framework/company.h"
#include "framework/connection_supplier.h"
#include "framework/export_to_office.h"
#include "framework/global_object.h"
#include "framework/matrix_window.h"
#include "framework/menu_entry.h"
#include "framework/navigator.h"
#include "platform/com/events.h"
#include "platform/ui/form.h"

namespace framework {

using host::kModuleCaption;
using host::kModuleProgId;

struct SessionOptions {
    bool createDatabase = false;  // create a SQLite file that does not exist, with the schema
    bool demoData = false;        // fill a newly created SQLite database with the demo data
    std::string language = "it";  // the user's language for the text service
    // The program the history's records name: "dravel-host", "dravel", "dravel script FILE".
    std::string program = "dravel";
};

// How the host opens the module (the menu entry's settings).
struct ModuleSettings {
    int32_t windowState = 0;  // ui::WindowState
    bool modal = false;       // the window is shown modal
    int32_t programMode = 0;
    com::Variant menuEntryKey = com::Variant("MG_QUINTAB");
    std::string caption = kModuleCaption;
};

class ModuleEventsSink;

class HostSession {
  public:
    // Opens the database. A SQLite file that does not exist is an error ("no such database"),
    // unless the options ask to create it. With that option a database without tables (a new
    // file, an empty server database) gets the schema (and the demo data when asked), and one
    // that holds only some of the tables is refused untouched. So is a database of another
    // schema version than db::kSchemaVersion, in one line saying what to do. Other failures are
    // the data layer's errors.
    explicit HostSession(const std::string& connectionString, SessionOptions options = {});
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Records the module library in the component registry (its own registration export).
    static void RegisterModule(const std::filesystem::path& library);

    std::vector<CompanyListEntry> Companies();
    // Makes the company active; error 3021 when HOST_DITTE has no such company.
    void ChooseCompany(int32_t code);
    // Changes the active company the way the user does: an edit in the matrix window that cannot
    // be saved, or the module (BeforeChangeDitta with Cancel), may refuse. Returns whether the
    // company changed; an open matrix window then shows the new company's first criterion.
    bool ChangeCompany(int32_t code);

    // Creates the module by its program identifier and assigns its properties: ClsGlobal,
    // ActiveNavigator, ClsVoceMenu, WindowState, WindowModal, ProgramMode, Caption and
    // IsActive (True); then listens to its DataTransfer event. Ends a module created before.
    host::Cinterface& CreateModule(const ModuleSettings& settings = {});
    void ShowForm();
    // The module's window while it is loaded (nullptr otherwise): the one the module exposes
    // (Cwindow), else the toolkit's active window when that is not one of the host's own, else
    // the module's window found so last.
    com::ComPtr<ui::IForm> Window();
    void CloseForm();
    // Closes the module's window when it is open, stops listening and releases the module.
    void EndModule();

    // The navigator's commands. Each returns whether the module let the action go ahead.
    bool PressNavigatorButton(int32_t code);
    // Raises BeforeExportToOffice with a new exporter; the exporter as the module left it.
    com::ComPtr<framework::ExportToOffice> PrepareExportToOffice();
    // Hand the navigator's layout / script model to the module (a fresh one when the module has
    // dropped it).
    bool InitializeLayoutModel();
    bool InitializeScriptModel();

    // The host's matrix window on the company (the active one when none is given) and the
    // criterion: the one given, else the criteria window's current one, else the company's first.
    // An open matrix window moves there (unless its edit cannot be saved) and comes forward.
    // Error 3021 when the company has no such criterion, 91 when no company is active.
    MatrixWindow& OpenMatrix(std::optional<int32_t> criterion = {},
                             std::optional<int32_t> company = {});
    // The matrix window while it is loaded, nullptr otherwise.
    com::ComPtr<MatrixWindow> Matrix() const;
    // The criterion the criteria window shows as its current row, if that window is open on one.
    std::optional<int32_t> CurrentCriterion();

    // Every value the module has handed back through DataTransfer, oldest first.
    const std::vector<com::Variant>& Transfers() const;
    // Told of each value the module hands back, as it comes.
    void OnDataTransfer(std::function<void(const com::Variant&)> handler) {
        onTransfer_ = std::move(handler);
    }

    host::Cinterface* Module() const { return module_.Get(); }
    GlobalObject& Global() const { return *global_; }
    framework::Navigator& Navigator() const { return *navigator_; }
    ado::Connection& Database() const { return *connection_; }
    const std::string& ConnectionString() const { return connectionString_; }
    // Whether opening created the schema.
    bool Created() const { return created_; }

  private:
    host::Cinterface& RequireModule() const;
    // Registers the host's connection supplier, with `watchers` for its connections.
    static void SupplyConnections(ConnectionSupplier::Watchers watchers);
    int32_t ActiveCompanyCode();

    std::string connectionString_;
    bool created_ = false;
    com::ComPtr<ado::Connection> connection_;
    com::ComPtr<GlobalObject> global_;
    com::ComPtr<framework::Navigator> navigator_;
    com::ComPtr<MenuEntry> menuEntry_;
    com::ComPtr<host::Cinterface> module_;
    com::ComPtr<ui::IForm> moduleWindow_;  // the module's window as last found
    com::ComPtr<MatrixWindow> matrix_;
    com::ComPtr<ModuleEventsSink> sink_;
    com::EventConnection moduleEvents_;
    std::function<void(const com::Variant&)> onTransfer_;
    ConnectionSupplier::Watchers recorders_;  // one history recorder for each connection
};

}  // namespace framework
