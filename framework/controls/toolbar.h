#pragma once
// The one-button toolbar model (ToolbarMenuControl.Toolbar). Control arrays are several
// toolbars sharing a name, told apart by Index.

#include <string>

#include "contracts/controls.h"
#include "framework/controls/control_model.h"

namespace framework {

class Toolbar : public ControlModel<Toolbar, host::IToolbar, ui::IPushButton,
                                    RaisesEvents<host::IToolbarEvents>> {
  public:
    static constexpr const char* kKind = "toolbar";

    // host::IToolbar
    int16_t Index() override { return index_; }
    void SetIndex(int16_t index) override { Set(index_, index); }
    void SetPicture(const std::string& picture) override { Set(picture_, picture); }
    void SetMenuPopup(bool on) override { Set(menuPopup_, on); }

    // ui::IPushButton
    std::string Picture() override { return picture_; }
    int16_t ArrayIndex() override { return index_; }
    // Raises ButtonClick; a failure of the handler is shown and the toolbar goes on.
    void UserPress() override;

    bool MenuPopup() const { return menuPopup_; }

  private:
    int16_t index_ = 0;
    std::string picture_;
    bool menuPopup_ = false;
};

}  // namespace framework
