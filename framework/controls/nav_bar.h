#pragma once
// The navigation bar model (NavBarControl.NavBar). Pressing a button hands its key to the record
// frame, which performs "Nuovo", "Conferma", "Annulla" and "Elimina" itself; then the bar raises
// ButtonAction with -1 (the frame's part succeeded, or it has none) or 0 (refused or failed).

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "contracts/controls.h"
#include "framework/controls/control_model.h"
#include "framework/controls/frame_links.h"

namespace framework {

class NavBar : public ControlModel<NavBar, host::INavBar, ui::IButtonBar, IFrameNavBar,
                                   RaisesEvents<host::INavBarEvents>> {
  public:
    static constexpr const char* kKind = "navbar";
    NavBar();

    // host::INavBar
    bool ChangesPending() override { return pending_; }
    void SetChangesPending(bool pending) override { Set(pending_, pending); }
    void SetFrameObject(com::IUnknown* frame) override { frame_ = frame; }
    void SetGridObject(com::IUnknown* grid) override { grid_ = grid; }
    // `previous` and `next` make the bar move the frame by itself on "Indietro" and "Avanti";
    // `last` is kept for the design only: this bar has no button to the last row.
    void SetAutoMoves(bool last, bool previous, bool next) override;

    // ui::IButtonBar
    std::vector<std::string> Keys() override;
    bool KeyEnabled(const std::string& key) override;  // error naming an unknown key
    // Errors naming the key: unknown or disabled.
    void UserPress(const std::string& key) override;

    // IFrameNavBar
    void SetKeyHandler(std::function<bool(const std::string&)> perform) override {
        perform_ = std::move(perform);
    }
    void SetKeyEnabled(const std::string& key, bool on) override;

    com::IUnknown* FrameObject() const { return frame_.Get(); }
    com::IUnknown* GridObject() const { return grid_.Get(); }

  private:
    bool& Slot(const std::string& key);
    bool AutoMove(const std::string& key);

    std::vector<std::pair<std::string, bool>> buttons_;  // key, enabled; in display order
    bool pending_ = false;
    bool autoLast_ = false, autoPrevious_ = false, autoNext_ = false;
    com::ComPtr<com::IUnknown> frame_, grid_;
    std::function<bool(const std::string&)> perform_;
};

}  // namespace framework
