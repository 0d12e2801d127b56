#pragma once
// The host navigator: the command bar around the active module. It raises its events to the
// module on the host's behalf and holds the script and layout models the module publishes to.

#include "contracts/navigator.h"
#include "framework/layout_model.h"
#include "framework/script_model.h"
#include "platform/com/events.h"

namespace framework {

class Navigator : public com::ComObject<Navigator, host::INavigator, com::IEventSource> {
  public:
    // Starts with a fresh script model and layout model.
    static com::ComPtr<Navigator> Create();

    // host::INavigator. The frame's status, the refreshes and the window's opening and showing
    // change nothing the host's bar shows: the bar follows the host's own window.
    void PublishFrameStatus(int16_t) override {}
    void RefreshNavigator() override {}
    com::Variant NavigatorOpened() override { return {}; }
    com::Variant NavigatorShown() override { return {}; }
    com::ComPtr<host::IScriptModel> ScriptModel() override { return scriptModel_; }
    void SetScriptModel(host::IScriptModel* model) override { scriptModel_ = model; }
    com::ComPtr<host::ILayoutModel> LayoutModel() override { return layoutModel_; }
    void SetLayoutModel(host::ILayoutModel* model) override { layoutModel_ = model; }

    // com::IEventSource (host::INavigatorEvents)
    com::HRESULT Advise(const com::Guid& iid, com::IUnknown* sink,
                        uint32_t* cookie) noexcept override {
        return sinks_.Advise(iid, sink, cookie);
    }
    com::HRESULT Unadvise(uint32_t cookie) noexcept override { return sinks_.Unadvise(cookie); }

    // Raising the events. Each returns whether the host's action may go ahead (no sink set
    // Cancel); a failing sink is rethrown after every sink has been called.
    bool RaiseBeforeChangeDitta();
    bool RaiseButtonPressed(int32_t code);
    bool RaiseBeforeExportToOffice(com::IUnknown* exporter);
    bool RaiseInitializeLayoutObjectModel(host::ILayoutModel* layout);
    bool RaiseInitializeScriptObjectModel(host::IScriptModel* script);

  private:
    Navigator() = default;

    template <class F>
    bool Raise(F&& call);

    com::ComPtr<host::IScriptModel> scriptModel_;
    com::ComPtr<host::ILayoutModel> layoutModel_;
    com::EventSinks<host::INavigatorEvents> sinks_;
};

}  // namespace framework
