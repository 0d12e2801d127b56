#pragma once
// A user's command run so that a failure is shown to the user, as the module's own are, instead
// of escaping into the event loop.

#include <string>

#include "framework/controls/control_model.h"

namespace gui {

template <class F>
void Guarded(const std::string& title, F&& f) {
    try {
        f();
    } catch (...) {
        framework::ShowError(com::CurrentError(), title);
    }
}

}  // namespace gui
