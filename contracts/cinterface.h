#pragma once
// The host interface that a module class implements, and the module class's own events.
// Slots are in the host's fixed order; every slot returns a status and never throws.

#include "platform/com/variant.h"

namespace host {
struct IGlobal;
struct INavigator;
struct IMenuEntry;
}  // namespace host

namespace host {

using com::HRESULT;
using com::VARIANT_BOOL;

// Deliberately one slot per property and direction: the host calls each by its place in this
// fixed table, so they cannot fold into one generic accessor.
struct Cinterface : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("6F2C1E20-5A7B-4C51-9D1E-3B8C2A7D4E10");

    virtual HRESULT putref_ClsGlobal(IGlobal* v) noexcept = 0;
    virtual HRESULT get_ClsGlobal(IGlobal** v) noexcept = 0;
    virtual HRESULT putref_ActiveFrame(com::IUnknown* v) noexcept = 0;
    virtual HRESULT get_ActiveFrame(com::IUnknown** v) noexcept = 0;
    virtual HRESULT putref_ActiveNavigator(INavigator* v) noexcept = 0;
    virtual HRESULT get_ActiveNavigator(INavigator** v) noexcept = 0;
    virtual HRESULT putref_ActiveDll(Cinterface* v) noexcept = 0;
    virtual HRESULT get_ActiveDll(Cinterface** v) noexcept = 0;
    virtual HRESULT putref_StatusBar(com::IUnknown* v) noexcept = 0;
    virtual HRESULT get_StatusBar(com::IUnknown** v) noexcept = 0;
    virtual HRESULT put_CanInsert(VARIANT_BOOL v) noexcept = 0;
    virtual HRESULT get_CanInsert(VARIANT_BOOL* v) noexcept = 0;
    virtual HRESULT put_CanDelete(VARIANT_BOOL v) noexcept = 0;
    virtual HRESULT get_CanDelete(VARIANT_BOOL* v) noexcept = 0;
    virtual HRESULT put_CanUpdate(VARIANT_BOOL v) noexcept = 0;
    virtual HRESULT get_CanUpdate(VARIANT_BOOL* v) noexcept = 0;
    virtual HRESULT put_CanQbe(VARIANT_BOOL v) noexcept = 0;
    virtual HRESULT get_CanQbe(VARIANT_BOOL* v) noexcept = 0;
    virtual HRESULT put_WindowState(int32_t v) noexcept = 0;
    virtual HRESULT get_WindowState(int32_t* v) noexcept = 0;
    virtual HRESULT put_WindowModal(VARIANT_BOOL v) noexcept = 0;
    virtual HRESULT get_WindowModal(VARIANT_BOOL* v) noexcept = 0;
    virtual HRESULT put_ProgramMode(int32_t v) noexcept = 0;
    virtual HRESULT get_ProgramMode(int32_t* v) noexcept = 0;
    virtual HRESULT put_MenuModulo(const com::Variant& v) noexcept = 0;
    virtual HRESULT get_MenuModulo(com::Variant* v) noexcept = 0;
    virtual HRESULT put_MenuPadre(const com::Variant& v) noexcept = 0;
    virtual HRESULT get_MenuPadre(com::Variant* v) noexcept = 0;
    virtual HRESULT put_MenuProg(const com::Variant& v) noexcept = 0;
    virtual HRESULT get_MenuProg(com::Variant* v) noexcept = 0;
    virtual HRESULT put_Caption(const com::Variant& v) noexcept = 0;
    virtual HRESULT get_Caption(com::Variant* v) noexcept = 0;
    virtual HRESULT put_hwndParent(int32_t v) noexcept = 0;
    virtual HRESULT get_hwndParent(int32_t* v) noexcept = 0;
    virtual HRESULT ShowForm(com::Variant* result) noexcept = 0;
    virtual HRESULT CloseForm(com::Variant* result) noexcept = 0;
    virtual HRESULT putref_Connection(com::IUnknown* v) noexcept = 0;
    virtual HRESULT get_Connection(com::IUnknown** v) noexcept = 0;
    virtual HRESULT get_Cwindow(com::IUnknown** v) noexcept = 0;
    virtual HRESULT TransferData(const com::Variant& data, com::Variant* result) noexcept = 0;
    virtual HRESULT get_Top(com::Variant* v) noexcept = 0;
    virtual HRESULT put_Top(const com::Variant& v) noexcept = 0;
    virtual HRESULT get_Left(com::Variant* v) noexcept = 0;
    virtual HRESULT put_Left(const com::Variant& v) noexcept = 0;
    virtual HRESULT putref_ClsVoceMenu(IMenuEntry* v) noexcept = 0;
    virtual HRESULT get_ClsVoceMenu(IMenuEntry** v) noexcept = 0;
    virtual HRESULT put_IsActive(VARIANT_BOOL v) noexcept = 0;
    virtual HRESULT get_IsActive(VARIANT_BOOL* v) noexcept = 0;
    virtual HRESULT put_IsCalled(VARIANT_BOOL v) noexcept = 0;
    virtual HRESULT get_IsCalled(VARIANT_BOOL* v) noexcept = 0;
    virtual HRESULT put_Filtro(const com::Variant& v) noexcept = 0;
    virtual HRESULT get_Filtro(com::Variant* v) noexcept = 0;

  protected:
    ~Cinterface() = default;
};

// Events of the module class (the host advises a sink through IEventSource).
struct IModuleEvents : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("6F2C1E21-5A7B-4C51-9D1E-3B8C2A7D4E10");
    virtual HRESULT DataTransfer(const com::Variant& data) noexcept = 0;

  protected:
    ~IModuleEvents() = default;
};

}  // namespace host
