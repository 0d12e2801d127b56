// Loading, activation, the container's load notification and unloading of the window.

#include "contracts/cinterface_access.h"
#include "contracts/host_global.h"
#include "contracts/navigator.h"
#include "contracts/progids.h"
#include "host/mod_quintab.h"
#include "platform/com/failure.h"
#include "platform/com/registry.h"
#include "window/criteria_statements.h"
#include "window/frm_mgquintab.h"

namespace dravel {

namespace {
constexpr const char* kReportCode = "0_0_0_0";
}

com::ComPtr<host::IGlobal> FRM_MGQUINTAB::HostGlobal() {
    auto global = host::GetRef(ActiveInterface.Get(), &host::Cinterface::get_ClsGlobal);
    if (!global) throw com::ComError(com::err::ObjectNotSet, "The host gave no global object");
    return global;
}

com::ComPtr<host::INavigator> FRM_MGQUINTAB::HostNavigator() {
    auto navigator = host::GetRef(ActiveInterface.Get(), &host::Cinterface::get_ActiveNavigator);
    if (!navigator) throw com::ComError(com::err::ObjectNotSet, "The host gave no navigator");
    return navigator;
}

std::string FRM_MGQUINTAB::TranslateText(std::string text) {
    return HostGlobal()->TextService()->TranslateText(text);
}

void FRM_MGQUINTAB::ReportFailure(const com::ComError& error, const std::string& procedure) {
    GclsLog->CaptureError(error);
    GclsLog->ReportError(com::Variant(kReportCode), kWindowName, procedure);
}

template <class F>
void FRM_MGQUINTAB::ReportAndUnload(const std::string& procedure, F&& body) {
    com::ReportAndClose(std::forward<F>(body), [&](const com::ComError& error) {
        // The window closes even when the log service itself is what failed; that failure
        // then goes back to whoever loaded or activated the window.
        std::exception_ptr logFailure;
        try {
            ReportFailure(error, procedure);
        } catch (...) {
            logFailure = std::current_exception();
        }
        com::Err().Clear();
        Unload();
        if (logFailure) std::rethrow_exception(logFailure);
    });
}

void FRM_MGQUINTAB::Form_Load() {
    ReportAndUnload("Form_Load", [&] {
        GclsLog = com::CreateObjectAs<host::ILogService>(host::progid::LogService);
        Move(0, 0, 8595, 7470);
        auto global = HostGlobal();
        CompanyCode = global->ActiveCompany()->CompanyCode();
        GstrConnect = global->DatabaseInfo()->ConnectionString();

        GconConnect = ado::Connection::Create();
        GclsConnect =
            com::CreateObjectAs<host::IConnectionSupplier>(host::progid::ConnectionSupplier);
        GconConnect = GclsConnect->NewConnection();
        GconConnect->SetConnectionString(GstrConnect);
        GconConnect->SetIsolationLevel(ado::adXactReadUncommitted);
        GconConnect->Open("", "", "", ado::adOptionUnspecified);

        if (!RecordsetFactory)
            RecordsetFactory =
                com::CreateObjectAs<host::IRecordsetSupplier>(host::progid::RecordsetSupplier);
        CriteriaRecordset = RecordsetFactory->NewRecordset();
        CriteriaSql = CriteriaQuery(CompanyCode, GconConnect->SqlDialect());
        CriteriaRecordset->Open(CriteriaSql, GconConnect.Get(), -1, -1, -1);

        FillTypeCombo();
        SetupGrid();

        FME_PARENT = com::CreateObjectAs<host::IRecordFrame>(host::progid::RecordFrame);
        if (!frameEvents_.Connect<host::IRecordFrameEvents>(FME_PARENT.Get(), this))
            throw com::ComError(com::err::InvalidCall, "The record frame raises no events");
        FME_PARENT->InitFrame(ActiveInterface.Get(), GconConnect.Get(), CriteriaRecordset.Get(),
                              CriteriaSql, "MGA0_DESCR", INTERNAV.Get(), QGRID.Get());
        for (host::IBoundControl* control : {static_cast<host::IBoundControl*>(CBO_TIPO.Get()),
                                             static_cast<host::IBoundControl*>(TXT_DESCR.Get()),
                                             static_cast<host::IBoundControl*>(TXT_STRUT.Get()),
                                             static_cast<host::IBoundControl*>(TXT_PRIORITA.Get())})
            FME_PARENT->BindControl(control, nullptr);
        // Deliberately both bound (to show their columns) and extra, so that the frame empties
        // them when a new row starts, before AfterAddNew fills in the defaults.
        FME_PARENT->AddExtraControl(TXT_PRIORITA.Get());
        FME_PARENT->AddExtraControl(CBO_TIPO.Get());

        host::Put(ActiveInterface.Get(), &host::Cinterface::putref_Connection,
                  static_cast<ado::IConnection*>(GconConnect.Get()));
        Initialised = false;
    });
}

void FRM_MGQUINTAB::Form_Activate() {
    ReportAndUnload("Form_Activate", [&] {
        host::Put(ActiveInterface.Get(), &host::Cinterface::putref_ActiveFrame,
                  static_cast<com::IUnknown*>(FME_PARENT.Get()));
        RefreshHostState();
        if (!ActivatedOnce) FirstActivation();
    });
}

void FRM_MGQUINTAB::FirstActivation() {
    ActivatedOnce = true;
    if (!Initialised) {
        int32_t mode = host::GetValue(ActiveInterface.Get(), &host::Cinterface::get_ProgramMode);
        if (mode >= 0 && mode <= 2) FME_PARENT->SetProgramMode(mode);
        if (BuildAttributeTree() != 0) ResetFieldEditor();
        LoadSelectedFields();
        HostNavigator()->NavigatorOpened();
        NotifyScriptModel();
        Initialised = true;
    }
    KVR_RESIZEFORM1->SetResizeOwner(ActiveInterface.Get());
    KVR_RESIZEFORM1->StartResize();
}

void FRM_MGQUINTAB::RefreshHostState() {
    com::Step([&] { HostGlobal()->SetActiveModule(ActiveInterface.Get()); });
    com::Step([&] {
        auto frame = host::GetRef(ActiveInterface.Get(), &host::Cinterface::get_ActiveFrame);
        if (!frame) return;
        auto recordFrame = frame.As<host::IRecordFrame>();
        if (!recordFrame) throw com::ComError(com::err::NoSuchMember);
        HostNavigator()->PublishFrameStatus(com::Variant(recordFrame->Status()).ToInteger());
    });
    com::Step([&] { HostNavigator()->RefreshNavigator(); });
    com::Err().Clear();
}

void FRM_MGQUINTAB::LoadSelectedFields() {
    std::string structure = TrimToText(com::Variant(TXT_STRUT->Text())).ToText();
    if (structure.empty()) return;
    LoadStructure(structure);
}

void FRM_MGQUINTAB::NotifyScriptModel() {
    auto navigator = HostNavigator();
    navigator->NavigatorShown();
    if (auto model = navigator->ScriptModel())
        model->ScriptOpenNotice(kWindowName, 0, 0, com::Variant(kWindowName));
}

com::HRESULT FRM_MGQUINTAB::FormLoad() noexcept {
    return com::Guard([&] { MDIActiveX1_FormLoad(); });
}

void FRM_MGQUINTAB::MDIActiveX1_FormLoad() {
    ReportAndUnload("MDIActiveX1.FormLoad", [&] {
        com::Variant left(int32_t{0}), top(int32_t{0});
        MDIActiveX1->PlaceWindow(left, top, 8760, 7605);
        MDIActiveX1->SetContainerWindowState(
            host::GetValue(ActiveInterface.Get(), &host::Cinterface::get_WindowState));
        MDIActiveX1->SetShowInTaskList(false);
        MDIActiveX1->SetAutoMaximize(false);
    });
}

// Asks nothing and saves nothing; every step is tried, whatever failed before it.
void FRM_MGQUINTAB::Form_Unload() {
    com::ComPtr<host::INavigator> navigator;
    com::Step([&] { navigator = HostNavigator(); });
    com::ComPtr<host::IScriptModel> model;
    com::Step([&] { model = navigator->ScriptModel(); });
    if (model) {
        // The model keeps what the window published: it is let go even when the notice fails.
        com::Step([&] {
            auto menuEntry =
                host::GetRef(ActiveInterface.Get(), &host::Cinterface::get_ClsVoceMenu);
            model->ScriptCloseNotice(menuEntry->MenuEntryKey());
        });
        com::Step([&] { navigator->SetScriptModel(nullptr); });
        model = nullptr;
    }
    com::Step([&] {
        if (navigator->LayoutModel()) navigator->SetLayoutModel(nullptr);
    });
    com::ComPtr<host::IGlobal> global;
    com::Step([&] { global = HostGlobal(); });
    com::Step([&] {
        auto module = ActiveInterface;
        global->CloseModule(module);
    });
    com::Step([&] { global->SetActiveModule(nullptr); });
    com::Step([&] { global->SetSecondModule(nullptr); });
    // A release cannot fail: only the calls into the objects are steps.
    GclsLog = nullptr;
    com::Step([&] { INTERNAV->SetFrameObject(nullptr); });
    com::Step([&] { INTERNAV->SetGridObject(nullptr); });
    com::Step([&] {
        if (CriteriaRecordset->State() == ado::adStateOpen) CriteriaRecordset->Close();
    });
    CriteriaRecordset = nullptr;
    RecordsetFactory = nullptr;
    frameEvents_.Reset();
    FME_PARENT = nullptr;
    GclsConnect = nullptr;
    action_.reset();  // an action the frame never ended is rolled back
    com::Step([&] { GconConnect->Close(); });
    GconConnect = nullptr;
    com::Step(
        [&] { host::Put(ActiveInterface.Get(), &host::Cinterface::putref_ActiveDll, nullptr); });
    com::Step(
        [&] { host::Put(ActiveInterface.Get(), &host::Cinterface::putref_ActiveFrame, nullptr); });
    com::Step(
        [&] { host::Put(ActiveInterface.Get(), &host::Cinterface::putref_Connection, nullptr); });
    ActiveInterface = nullptr;
    com::Err().Clear();
}

}  // namespace dravel
