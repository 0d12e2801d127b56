#pragma once
// The MDI container model (MdiHostControl.MdiHost): it takes the module's window in. The host
// (or the window's showing, through ui::IShowNotified) calls TakeIn, which raises FormLoad.

#include "contracts/controls.h"
#include "framework/controls/control_model.h"
#include "platform/ui/form.h"

namespace framework {

class MdiHost : public ControlModel<MdiHost, host::IMdiHost, ui::IShowNotified,
                                    RaisesEvents<host::IMdiHostEvents>> {
  public:
    static constexpr const char* kKind = "mdihost";

    struct Placement {
        int32_t left = 0, top = 0, width = 0, height = 0;
    };

    // host::IMdiHost
    // Records the placement and moves the window there when the container knows it.
    void PlaceWindow(com::Variant& left, com::Variant& top, int32_t width, int32_t height) override;
    void SetContainerWindowState(int32_t state) override { Set(windowState_, state); }
    void SetShowInTaskList(bool on) override { Set(showInTaskList_, on); }
    void SetAutoMaximize(bool on) override { Set(autoMaximize_, on); }

    // ui::IShowNotified: the window is being shown, so the container takes it in.
    void FormShown() override { TakeIn(); }

    // The container takes its window in: raises FormLoad (a handler's failure is shown).
    void TakeIn();
    // The window the container holds; not a reference (the window owns the container). The
    // host sets it before showing the window and clears it when the window unloads.
    void SetForm(ui::IForm* form) { form_ = form; }

    const Placement& WindowPlacement() const { return placement_; }
    int32_t ContainerWindowState() const { return windowState_; }
    bool ShowInTaskList() const { return showInTaskList_; }
    bool AutoMaximize() const { return autoMaximize_; }
    int TakenIn() const { return takenIn_; }

  private:
    Placement placement_;
    int32_t windowState_ = 0;
    bool showInTaskList_ = true, autoMaximize_ = true;
    int takenIn_ = 0;
    ui::IForm* form_ = nullptr;
};

}  // namespace framework
