#pragma once
// The host navigator: the command bar around the active module. It keeps what the module tells
// it and raises its events to the module on the host's behalf.

#include <optional>

#include "contracts/navigator.h"
#include "framework/layout_model.h"
#include "framework/script_model.h"
#include "platform/com/events.h"

namespace framework {

class Navigator : public com::ComObject<Navigator, host::INavigator, com::IEventSource> {
  public:
    // Starts with a fresh script model and layout model.
    static com::ComPtr<Navigator> Create();

    // host::INavigator
    void PublishFrameStatus(int16_t status) override { frameStatus_ = status; }
    void RefreshNavigator() override { ++refreshes_; }
    com::Variant NavigatorOpened() override;
    com::Variant NavigatorShown() override;
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

    // What the module has told the navigator.
    std::optional<int16_t> LastFrameStatus() const { return frameStatus_; }
    int RefreshCount() const { return refreshes_; }
    int OpenedCount() const { return opened_; }
    int ShownCount() const { return shown_; }

  private:
    Navigator() = default;

    template <class F>
    bool Raise(F&& call);

    std::optional<int16_t> frameStatus_;
    int refreshes_ = 0, opened_ = 0, shown_ = 0;
    com::ComPtr<host::IScriptModel> scriptModel_;
    com::ComPtr<host::ILayoutModel> layoutModel_;
    com::EventSinks<host::INavigatorEvents> sinks_;
};

}  // namespace framework
