#pragma once
// The host navigator: the host's command bar around the active module, and its events.

#include "contracts/cinterface.h"
#include "contracts/models.h"

namespace host {

struct INavigator : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B10");
    virtual void PublishFrameStatus(int16_t status) = 0;
    virtual void RefreshNavigator() = 0;
    virtual com::Variant NavigatorOpened() = 0;
    virtual com::Variant NavigatorShown() = 0;
    virtual com::ComPtr<IScriptModel> ScriptModel() = 0;
    virtual void SetScriptModel(IScriptModel* model) = 0;
    virtual com::ComPtr<ILayoutModel> LayoutModel() = 0;
    virtual void SetLayoutModel(ILayoutModel* model) = 0;

  protected:
    ~INavigator() = default;
};

// Navigator event identifiers, as the host numbers them.
namespace navigator_event {
inline constexpr int ButtonPressed = 1;
inline constexpr int BeforeChangeDitta = 9;
inline constexpr int BeforeExportToOffice = 11;
inline constexpr int InitializeLayoutObjectModel = 14;
inline constexpr int InitializeScriptObjectModel = 15;
}  // namespace navigator_event

// Navigator button codes.
namespace navigator_button {
inline constexpr int32_t MediaLink = 25;
}

// Events of the navigator; every parameter is by reference. Cancel set to True stops the
// host's action.
struct INavigatorEvents : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B11");
    virtual HRESULT ButtonPressed(VARIANT_BOOL& cancel, int32_t& button) noexcept = 0;
    virtual HRESULT BeforeChangeDitta(VARIANT_BOOL& cancel) noexcept = 0;
    // `exporter` is late-bound: it has a settable property TitoloMaster.
    virtual HRESULT BeforeExportToOffice(VARIANT_BOOL& cancel,
                                         com::IUnknown*& exporter) noexcept = 0;
    virtual HRESULT InitializeLayoutObjectModel(VARIANT_BOOL& cancel,
                                                ILayoutModel*& layout) noexcept = 0;
    virtual HRESULT InitializeScriptObjectModel(VARIANT_BOOL& cancel,
                                                IScriptModel*& script) noexcept = 0;

  protected:
    ~INavigatorEvents() = default;
};

}  // namespace host
