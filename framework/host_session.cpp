#include "framework/host_session.h"

#include "contracts/cinterface_access.h"
#include "contracts/progids.h"
#include "contracts/record_frame.h"
#include "db/demo_data.h"
#include "db/schema.h"
#include "framework/database_version.h"
#include "framework/history_recorder.h"
#include "framework/layout_model.h"
#include "framework/script_model.h"
#include "framework/text_service.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/recordset.h"
#include "platform/com/failure.h"
#include "platform/com/registry.h"
#include "platform/text/text.h"
#include "platform/ui/toolkit.h"

namespace framework {

// Keeps what the module hands back, and tells the host.
class ModuleEventsSink : public com::ComObject<ModuleEventsSink, host::IModuleEvents> {
  public:
    com::HRESULT DataTransfer(const com::Variant& data) noexcept override {
        return com::Guard([&] {
            transfers.push_back(data);
            if (told) told(data);
        });
    }
    std::vector<com::Variant> transfers;
    std::function<void(const com::Variant&)> told;
};

HostSession::HostSession(const std::string& connectionString, SessionOptions options)
    : connectionString_(connectionString) {
    // A mistyped path must not become an empty database.
    if (!options.createDatabase) ado::ExistingSqliteFile(connectionString);
    // First, so that a refusal below is in the user's language.
    auto texts = TextService::Create();
    texts->SetLanguage(options.language);
    texts->MakeCurrent();
    connection_ = ado::Connection::Create();
    connection_->Open(connectionString);
    // A creation that failed half-way (a full disk) rolled back: the next attempt makes it.
    if (options.createDatabase) {
        auto creation = db::CreateDatabase(*connection_, [&] {
            if (options.demoData) db::LoadDemoData(*connection_);
        });
        if (creation == db::Creation::Partial) {
            throw com::ComError(
                com::err::OperationNotAllowed,
                Translated("Il database %1 contiene solo una parte delle tabelle (mancano: %2): "
                           "un database incompleto non viene modificato.",
                           {ado::DatabaseLabel(connectionString),
                            txt::Join(db::MissingTables(*connection_), ", ")}));
        }
        created_ = creation == db::Creation::Created;
    }
    RequireSchemaVersion(*connection_, connectionString);
    global_ = GlobalObject::Create(connectionString, texts);
    navigator_ = framework::Navigator::Create();
    // Every action on the session's connections (the commands', the matrix window's and the
    // module's, through the supplier it asks for its connection) leaves its history record.
    recorders_ = [program = options.program] { return std::make_shared<HistoryRecorder>(program); };
    connection_->SetWatcher(recorders_());
    SupplyConnections(recorders_);
}

HostSession::~HostSession() {
    com::Step([&] { EndModule(); });
    com::Step([&] {
        if (auto matrix = Matrix()) matrix->Unload();
    });
    SupplyConnections({});
}

void HostSession::SupplyConnections(ConnectionSupplier::Watchers watchers) {
    com::RegisterLocalClass(host::progid::ConnectionSupplier, [watchers] {
        return ConnectionSupplier::Create(watchers).As<com::IUnknown>();
    });
}

void HostSession::RegisterModule(const std::filesystem::path& library) {
    com::HRESULT hr = com::RegisterServer(library);
    if (com::Failed(hr)) {
        auto e = com::TakeErrorInfo(hr);
        throw e.AddContext("Cannot register " + library.string());
    }
}

std::vector<CompanyListEntry> HostSession::Companies() {
    return ListCompanies(*connection_);
}

void HostSession::ChooseCompany(int32_t code) {
    global_->SetActiveCompany(Company::Load(*connection_, code));
}

bool HostSession::ChangeCompany(int32_t code) {
    auto company = Company::Load(*connection_, code);  // a wrong code asks the module nothing
    auto matrix = Matrix();
    if (matrix && !matrix->SettleRow()) return false;
    if (!navigator_->RaiseBeforeChangeDitta()) return false;
    global_->SetActiveCompany(std::move(company));
    if (matrix) matrix->ShowCriterion(code, std::nullopt);
    return true;
}

int32_t HostSession::ActiveCompanyCode() {
    return global_->ActiveCompany()->CompanyCode().ToLong();
}

MatrixWindow& HostSession::OpenMatrix(std::optional<int32_t> criterion,
                                      std::optional<int32_t> company) {
    const int32_t code = company ? *company : ActiveCompanyCode();
    Window();  // the module's window is known before the matrix window comes in front of it
    if (!criterion && !company) criterion = CurrentCriterion();
    if (auto open = Matrix()) {
        if (open->ShowCriterion(code, criterion)) open->Show();
        return *open;
    }
    auto window = MatrixWindow::Create(connectionString_, code, recorders_());
    window->Load();
    try {
        window->ShowCriterion(code, criterion);
    } catch (...) {
        window->Unload();
        throw;
    }
    window->Show();
    matrix_ = window;
    return *window;
}

com::ComPtr<MatrixWindow> HostSession::Matrix() const {
    return matrix_ && matrix_->Loaded() ? matrix_ : nullptr;
}

std::optional<int32_t> HostSession::CurrentCriterion() {
    if (!Window()) return std::nullopt;
    auto frame =
        host::GetRef(module_.Get(), &host::Cinterface::get_ActiveFrame).As<host::IRecordFrame>();
    if (!frame || frame->Status() != host::frame_status::Existing) return std::nullopt;
    auto rows = frame->Recordset();
    if (!rows || rows->State() != ado::adStateOpen || rows->Bof() || rows->Eof())
        return std::nullopt;
    const com::Variant id = rows->Fields("MGA0_ID").Value();
    if (id.IsNull()) return std::nullopt;
    return id.ToLong();
}

host::Cinterface& HostSession::CreateModule(const ModuleSettings& settings) {
    EndModule();
    auto module = com::CreateObjectAs<host::Cinterface>(kModuleProgId);
    menuEntry_ = MenuEntry::Create(settings.menuEntryKey);
    host::Put(module.Get(), &host::Cinterface::putref_ClsGlobal,
              static_cast<host::IGlobal*>(global_.Get()));
    host::Put(module.Get(), &host::Cinterface::putref_ActiveNavigator,
              static_cast<host::INavigator*>(navigator_.Get()));
    host::Put(module.Get(), &host::Cinterface::putref_ClsVoceMenu,
              static_cast<host::IMenuEntry*>(menuEntry_.Get()));
    host::Put(module.Get(), &host::Cinterface::put_WindowState, settings.windowState);
    host::Put(module.Get(), &host::Cinterface::put_WindowModal,
              settings.modal ? com::VARIANT_TRUE : com::VARIANT_FALSE);
    host::Put(module.Get(), &host::Cinterface::put_ProgramMode, settings.programMode);
    host::Put(module.Get(), &host::Cinterface::put_Caption, com::Variant(settings.caption));
    host::Put(module.Get(), &host::Cinterface::put_IsActive, com::VARIANT_TRUE);

    sink_ = com::MakeObject<ModuleEventsSink>();
    sink_->told = [this](const com::Variant& data) {
        if (onTransfer_) onTransfer_(data);
    };
    if (!moduleEvents_.Connect<host::IModuleEvents>(module.Get(), sink_.Get()))
        throw com::ComError(com::err::CannotCreateObject,
                            std::string(kModuleProgId) + " raises no module events");
    module_ = std::move(module);
    return *module_;
}

host::Cinterface& HostSession::RequireModule() const {
    if (!module_) throw com::ComError(com::err::ObjectNotSet, "No module has been created");
    return *module_;
}

void HostSession::ShowForm() {
    com::Variant result;
    com::Check(RequireModule().ShowForm(&result));
    Window();  // found while it is the active one
}

com::ComPtr<ui::IForm> HostSession::Window() {
    if (!module_) return nullptr;
    com::ComPtr<com::IUnknown> window;
    com::HRESULT hr = module_->get_Cwindow(window.Put());
    if (com::Failed(hr)) com::TakeErrorInfo(hr);  // the window is looked for another way
    com::ComPtr<ui::IForm> form = window.As<ui::IForm>();
    // A module that does not expose its window: it is the one the toolkit made active, unless
    // the host's own window is in front of it.
    if (!form) {
        ui::IForm* active = ui::Toolkit::Current().ActiveForm();
        if (active && active != static_cast<ui::IForm*>(matrix_.Get())) moduleWindow_ = active;
        form = moduleWindow_;
    }
    if (form && form->Loaded()) return form;
    moduleWindow_ = nullptr;
    return nullptr;
}

void HostSession::CloseForm() {
    com::Variant result;
    com::Check(RequireModule().CloseForm(&result));
}

void HostSession::EndModule() {
    if (!module_) return;
    // The window goes first: while open it holds its module (through its ActiveInterface), so
    // both would outlive the host's hold and the module would still hear the navigator.
    com::Step([&] {
        if (Window()) CloseForm();
    });
    moduleEvents_.Reset();
    moduleWindow_ = nullptr;
    com::ComPtr<host::Cinterface> module = std::move(module_);
    global_->CloseModule(module);
    module = nullptr;
    menuEntry_ = nullptr;
}

bool HostSession::PressNavigatorButton(int32_t code) {
    return navigator_->RaiseButtonPressed(code);
}

com::ComPtr<ExportToOffice> HostSession::PrepareExportToOffice() {
    auto exporter = framework::ExportToOffice::Create();
    navigator_->RaiseBeforeExportToOffice(exporter->GetUnknown());
    return exporter;
}

bool HostSession::InitializeLayoutModel() {
    if (!navigator_->LayoutModel()) navigator_->SetLayoutModel(LayoutModel::Create().Get());
    return navigator_->RaiseInitializeLayoutObjectModel(navigator_->LayoutModel().Get());
}

bool HostSession::InitializeScriptModel() {
    if (!navigator_->ScriptModel()) navigator_->SetScriptModel(ScriptModel::Create().Get());
    return navigator_->RaiseInitializeScriptObjectModel(navigator_->ScriptModel().Get());
}

const std::vector<com::Variant>& HostSession::Transfers() const {
    static const std::vector<com::Variant> none;
    return sink_ ? sink_->transfers : none;
}

}  // namespace framework
