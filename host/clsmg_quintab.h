#pragma once
// The module's one creatable class: what the host talks to through Cinterface.

#include <atomic>

#include "contracts/cinterface.h"
#include "contracts/host_global.h"
#include "contracts/models.h"
#include "contracts/navigator.h"
#include "host/live_objects.h"
#include "platform/com/events.h"
#include "platform/com/server.h"
#include "window/frm_mgquintab.h"

namespace dravel {

inline constexpr com::Guid kClsid = com::Guid::Parse("D7A3E1F0-4B2C-4D8E-9A61-0C5B7F3E2A91");
inline constexpr com::Guid kTypeLib = com::Guid::Parse("D7A3E1F1-4B2C-4D8E-9A61-0C5B7F3E2A91");

// The class's own default interface; it has no members.
struct IClsMgQuintab : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("D7A3E1F2-4B2C-4D8E-9A61-0C5B7F3E2A91");

  protected:
    ~IClsMgQuintab() = default;
};

class CLSMG_QUINTAB : public com::ComObject<CLSMG_QUINTAB, IClsMgQuintab, host::Cinterface,
                                            com::IEventSource, host::INavigatorEvents> {
  public:
    static com::ComPtr<CLSMG_QUINTAB> Create();

    // Cinterface: one slot per property and direction, as the host's table has them.
    com::HRESULT putref_ClsGlobal(host::IGlobal* v) noexcept override;
    com::HRESULT get_ClsGlobal(host::IGlobal** v) noexcept override;
    com::HRESULT putref_ActiveFrame(com::IUnknown* v) noexcept override;
    com::HRESULT get_ActiveFrame(com::IUnknown** v) noexcept override;
    com::HRESULT putref_ActiveNavigator(host::INavigator* v) noexcept override;
    com::HRESULT get_ActiveNavigator(host::INavigator** v) noexcept override;
    com::HRESULT putref_ActiveDll(host::Cinterface* v) noexcept override;
    com::HRESULT get_ActiveDll(host::Cinterface** v) noexcept override;
    com::HRESULT putref_StatusBar(com::IUnknown* v) noexcept override;
    com::HRESULT get_StatusBar(com::IUnknown** v) noexcept override;
    com::HRESULT put_CanInsert(com::VARIANT_BOOL v) noexcept override;
    com::HRESULT get_CanInsert(com::VARIANT_BOOL* v) noexcept override;
    com::HRESULT put_CanDelete(com::VARIANT_BOOL v) noexcept override;
    com::HRESULT get_CanDelete(com::VARIANT_BOOL* v) noexcept override;
    com::HRESULT put_CanUpdate(com::VARIANT_BOOL v) noexcept override;
    com::HRESULT get_CanUpdate(com::VARIANT_BOOL* v) noexcept override;
    com::HRESULT put_CanQbe(com::VARIANT_BOOL v) noexcept override;
    com::HRESULT get_CanQbe(com::VARIANT_BOOL* v) noexcept override;
    com::HRESULT put_WindowState(int32_t v) noexcept override;
    com::HRESULT get_WindowState(int32_t* v) noexcept override;
    com::HRESULT put_WindowModal(com::VARIANT_BOOL v) noexcept override;
    com::HRESULT get_WindowModal(com::VARIANT_BOOL* v) noexcept override;
    com::HRESULT put_ProgramMode(int32_t v) noexcept override;
    com::HRESULT get_ProgramMode(int32_t* v) noexcept override;
    com::HRESULT put_MenuModulo(const com::Variant& v) noexcept override;
    com::HRESULT get_MenuModulo(com::Variant* v) noexcept override;
    com::HRESULT put_MenuPadre(const com::Variant& v) noexcept override;
    com::HRESULT get_MenuPadre(com::Variant* v) noexcept override;
    com::HRESULT put_MenuProg(const com::Variant& v) noexcept override;
    com::HRESULT get_MenuProg(com::Variant* v) noexcept override;
    com::HRESULT put_Caption(const com::Variant& v) noexcept override;
    com::HRESULT get_Caption(com::Variant* v) noexcept override;
    com::HRESULT put_hwndParent(int32_t v) noexcept override;
    com::HRESULT get_hwndParent(int32_t* v) noexcept override;
    com::HRESULT ShowForm(com::Variant* result) noexcept override;
    com::HRESULT CloseForm(com::Variant* result) noexcept override;
    com::HRESULT putref_Connection(com::IUnknown* v) noexcept override;
    com::HRESULT get_Connection(com::IUnknown** v) noexcept override;
    com::HRESULT get_Cwindow(com::IUnknown** v) noexcept override;
    com::HRESULT TransferData(const com::Variant& data, com::Variant* result) noexcept override;
    com::HRESULT get_Top(com::Variant* v) noexcept override;
    com::HRESULT put_Top(const com::Variant& v) noexcept override;
    com::HRESULT get_Left(com::Variant* v) noexcept override;
    com::HRESULT put_Left(const com::Variant& v) noexcept override;
    com::HRESULT putref_ClsVoceMenu(host::IMenuEntry* v) noexcept override;
    com::HRESULT get_ClsVoceMenu(host::IMenuEntry** v) noexcept override;
    com::HRESULT put_IsActive(com::VARIANT_BOOL v) noexcept override;
    com::HRESULT get_IsActive(com::VARIANT_BOOL* v) noexcept override;
    com::HRESULT put_IsCalled(com::VARIANT_BOOL v) noexcept override;
    com::HRESULT get_IsCalled(com::VARIANT_BOOL* v) noexcept override;
    com::HRESULT put_Filtro(const com::Variant& v) noexcept override;
    com::HRESULT get_Filtro(com::Variant* v) noexcept override;

    // IEventSource (IModuleEvents)
    com::HRESULT Advise(const com::Guid& iid, com::IUnknown* sink,
                        uint32_t* cookie) noexcept override;
    com::HRESULT Unadvise(uint32_t cookie) noexcept override;

    // INavigatorEvents: the navigator's events, handled by the class itself.
    com::HRESULT ButtonPressed(com::VARIANT_BOOL& cancel, int32_t& button) noexcept override;
    com::HRESULT BeforeChangeDitta(com::VARIANT_BOOL& cancel) noexcept override;
    com::HRESULT BeforeExportToOffice(com::VARIANT_BOOL& cancel,
                                      com::IUnknown*& exporter) noexcept override;
    com::HRESULT InitializeLayoutObjectModel(com::VARIANT_BOOL& cancel,
                                             host::ILayoutModel*& layout) noexcept override;
    com::HRESULT InitializeScriptObjectModel(com::VARIANT_BOOL& cancel,
                                             host::IScriptModel*& script) noexcept override;

    // The window created by ShowForm (unset before).
    FRM_MGQUINTAB* Window() const { return window_.Get(); }

  private:
    friend class com::ComObject<CLSMG_QUINTAB, IClsMgQuintab, host::Cinterface, com::IEventSource,
                                host::INavigatorEvents>;
    CLSMG_QUINTAB();
    ~CLSMG_QUINTAB() override;

    // The stored ActiveDll: the instance itself until replaced (held without a count, so the
    // host's release ends the instance), or another object.
    com::ComPtr<host::Cinterface> ActiveDll();
    // The navigator guard: ActiveDll is set and its IsActive is True.
    bool HandlersActive();

    com::LiveObject live_{LiveObjects()};
    com::ComPtr<host::IGlobal> clsGlobal_;
    com::ComPtr<com::IUnknown> activeFrame_;
    com::ComPtr<host::INavigator> activeNavigator_;
    com::EventConnection navigatorEvents_;
    bool activeDllIsSelf_ = true;
    com::ComPtr<host::Cinterface> activeDll_;
    com::ComPtr<com::IUnknown> statusBar_;
    bool canInsert_ = false, canDelete_ = false, canUpdate_ = false, canQbe_ = false;
    int16_t windowState_ = 0;
    bool windowModal_ = false;
    int16_t programMode_ = 0;
    com::Variant menuModulo_, menuPadre_, menuProg_, caption_;
    int32_t hwndParent_ = 0;
    com::ComPtr<com::IUnknown> connection_;
    int32_t top_ = 0, left_ = 0;
    com::ComPtr<host::IMenuEntry> clsVoceMenu_;
    bool isActive_ = false, isCalled_ = false;
    com::ComPtr<FRM_MGQUINTAB> window_;
    com::ComPtr<host::IMediaLink> hyperMedia_;  // CHyperMedia, created on first use
    com::EventSinks<host::IModuleEvents> sinks_;
};

}  // namespace dravel
