#include "platform/ui/control_state.h"

#include <algorithm>

namespace ui {

void ControlState::SetName(const std::string& name) {
    if (name_ == name) return;
    name_ = name;
    Changed();
}

void ControlState::SetGeometry(const Rect& r) {
    if (geometry_ == r) return;
    geometry_ = r;
    Changed();
}

void ControlState::SetVisible(bool on) {
    if (visible_ == on) return;
    visible_ = on;
    Changed();
}

void ControlState::SetEnabled(bool on) {
    if (enabled_ == on) return;
    enabled_ = on;
    Changed();
}

int ControlState::AddObserver(std::function<void()> changed) {
    observers_.emplace_back(++lastObserver_, std::move(changed));
    return lastObserver_;
}

void ControlState::RemoveObserver(int id) {
    std::erase_if(observers_, [id](const auto& o) { return o.first == id; });
}

void ControlState::Changed() {
    auto copy = observers_;
    for (const auto& entry : copy) {
        bool still = std::any_of(observers_.begin(), observers_.end(),
                                 [&](const auto& o) { return o.first == entry.first; });
        if (still && entry.second) entry.second();
    }
}

void ControlState::RequestFocus() {
    if (focusHandler_) focusHandler_();
}

void ControlState::RequireUserInput(const std::string& kind) const {
    if (visible_ && enabled_) return;
    throw com::ComError(com::err::InvalidCall, "The " + kind + " " + name_ + " is " +
                                                   (visible_ ? "disabled" : "hidden") +
                                                   " and takes no input");
}

}  // namespace ui
