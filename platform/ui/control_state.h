#pragma once
// The state every control model shares (name, geometry, visibility, input, observers, the focus
// handler of its window). A control holds one and forwards its IControl members to it.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/control.h"

namespace ui {

class ControlState {
  public:
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    const Rect& Geometry() const { return geometry_; }
    void SetGeometry(const Rect& r);
    bool Visible() const { return visible_; }
    void SetVisible(bool on);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);

    int AddObserver(std::function<void()> changed);
    void RemoveObserver(int id);
    // Tells every observer that the control changed; an observer may remove itself meanwhile.
    void Changed();

    // The window's focus handler (IFocusRequester); RequestFocus does nothing without a window.
    void SetFocusHandler(std::function<void()> handler) { focusHandler_ = std::move(handler); }
    void RequestFocus();

    // Throws error 5 naming the control when the user cannot reach it (hidden or disabled).
    void RequireUserInput(const std::string& kind) const;

  private:
    std::string name_;
    Rect geometry_;
    bool visible_ = true;
    bool enabled_ = true;
    std::vector<std::pair<int, std::function<void()>>> observers_;
    int lastObserver_ = 0;
    std::function<void()> focusHandler_;
};

}  // namespace ui
