// The navigator's events, handled by the module class. Each handler acts only while the host
// has made the module active, and continues past failures without reporting them.

#include "contracts/cinterface_access.h"
#include "contracts/module_identity.h"
#include "contracts/progids.h"
#include "contracts/record_frame.h"
#include "host/clsmg_quintab.h"
#include "platform/com/dispatch.h"
#include "platform/com/failure.h"
#include "platform/com/registry.h"
#include "platform/ui/toolkit.h"

namespace dravel {

namespace {
constexpr const char* kChangeCompanyQuestion =
    "Il cambio ditta comporta la chiusura del programma, proseguo ?";
constexpr const char* kMediaOnlyWhenEditing =
    "Il collegamento ai dati multimediali è possibile solamente in fase di variazione";
constexpr const char* kFrameScriptName = "DTS_GestioneContropartite";
}  // namespace

bool CLSMG_QUINTAB::HandlersActive() {
    bool active = false;
    com::Step([&] {
        auto dll = ActiveDll();
        active =
            dll && host::GetValue(dll.Get(), &host::Cinterface::get_IsActive) != com::VARIANT_FALSE;
    });
    return active;
}

com::HRESULT CLSMG_QUINTAB::BeforeChangeDitta(com::VARIANT_BOOL& cancel) noexcept {
    if (!HandlersActive()) return com::S_OK;
    std::string caption;
    int32_t answer = 0;
    com::Step([&] { caption = window_->Caption(); });
    com::Step(
        [&] { answer = window_->ShowMessage(kChangeCompanyQuestion, ui::mb::YesNo, caption, ""); });
    if (answer == ui::mb::AnswerYes) {
        com::Step([&] { window_->Unload(); });
    } else {
        cancel = com::VARIANT_TRUE;
    }
    com::Err().Clear();
    return com::S_OK;
}

com::HRESULT CLSMG_QUINTAB::BeforeExportToOffice(com::VARIANT_BOOL&,
                                                 com::IUnknown*& exporter) noexcept {
    if (!HandlersActive()) return com::S_OK;
    com::Step([&] { com::PutProperty(exporter, "TitoloMaster", com::Variant(kWindowName)); });
    return com::S_OK;
}

com::HRESULT CLSMG_QUINTAB::ButtonPressed(com::VARIANT_BOOL&, int32_t& button) noexcept {
    if (button != host::navigator_button::MediaLink || !HandlersActive()) return com::S_OK;
    auto dll = ActiveDll();

    com::ComPtr<host::IRecordFrame> frame;
    com::Step([&] {
        frame =
            host::GetRef(dll.Get(), &host::Cinterface::get_ActiveFrame).As<host::IRecordFrame>();
    });
    if (!frame) return com::S_OK;
    com::ComPtr<ado::Recordset> recordset;
    com::Step([&] { recordset = frame->Recordset(); });
    if (!recordset) return com::S_OK;

    bool isNew = false;
    com::Step([&] { isNew = frame->Status() == host::frame_status::New; });
    if (isNew) {
        com::Step([&] {
            std::string title = "Avviso Utente";
            window_->ShowMessage(kMediaOnlyWhenEditing, ui::mb::Information, title, "");
        });
        return com::S_OK;
    }
    com::Step([&] {
        if (frame->Status() == host::frame_status::Existing) frame->Update();
    });
    com::Step([&] {
        if (!hyperMedia_)
            hyperMedia_ = com::CreateObjectAs<host::IMediaLink>(host::progid::MediaLink);
    });

    com::Variant mediaId, value1, value2, connectionString, parentWindow;
    com::Step([&] { mediaId = recordset->Fields("MG99_IDMEDIA_CG99").Value(); });
    com::ComPtr<host::IGlobal> global;
    com::Step([&] { global = host::GetRef(dll.Get(), &host::Cinterface::get_ClsGlobal); });
    com::Step([&] { value1 = global->HostContext()->HostValue1(); });
    com::Step([&] { value2 = global->HostContext()->HostValue2(); });
    com::Step([&] { connectionString = com::Variant(global->DatabaseInfo()->ConnectionString()); });
    com::Step([&] {
        auto module = clsGlobal_->ActiveModule();
        parentWindow =
            com::Variant(host::GetValue(module.Get(), &host::Cinterface::get_hwndParent));
    });
    com::Step([&] {
        hyperMedia_->OpenMediaLink(value1, value2, connectionString, mediaId, parentWindow, 1, 0);
    });
    return com::S_OK;
}

com::HRESULT CLSMG_QUINTAB::InitializeLayoutObjectModel(com::VARIANT_BOOL&,
                                                        host::ILayoutModel*& layout) noexcept {
    if (!HandlersActive()) return com::S_OK;
    com::Step([&] {
        com::ComPtr<host::ILayoutModel>(layout)->RegisterWindowLayout(
            com::Variant(host::kModuleCaption), static_cast<ui::IForm*>(window_.Get()), 0, 0, 0);
    });
    com::Step([&] {
        com::ComPtr<host::ILayoutModel>(layout)->RegisterGridLayout(
            com::Variant(std::string("Griglia ") + host::kModuleCaption),
            window_->GridObject().Get());
    });
    return com::S_OK;
}

com::HRESULT CLSMG_QUINTAB::InitializeScriptObjectModel(com::VARIANT_BOOL&,
                                                        host::IScriptModel*& script) noexcept {
    if (!HandlersActive()) return com::S_OK;
    com::ComPtr<host::IScriptModel> model(script);
    com::Step([&] {
        std::string name = window_->Name();
        std::string again = window_->Name();
        model->AddScriptObject(name, static_cast<ui::IForm*>(window_.Get()),
                               host::script_kind::Window, again);
    });
    com::ComPtr<com::IUnknown> frame;
    com::Step([&] { frame = host::GetRef(ActiveDll().Get(), &host::Cinterface::get_ActiveFrame); });
    com::Step([&] { com::PutProperty(frame.Get(), "Name", com::Variant(kFrameScriptName)); });
    std::string first, second;
    com::Step([&] { first = com::GetProperty(frame.Get(), "Name").ToText(); });
    com::Step([&] { second = com::GetProperty(frame.Get(), "Name").ToText(); });
    com::Step([&] {
        model->AddScriptObject(first, frame.Get(), host::script_kind::RecordFrame, second);
    });
    return com::S_OK;
}

}  // namespace dravel
