#include "framework/controls/toolbar.h"

namespace framework {

void Toolbar::UserPress() {
    state_.RequireUserInput("toolbar");
    com::ComPtr<host::IToolbar> keep(this);
    RaiseForUser(events_, state_.Name(),
                 [this](host::IToolbarEvents* s) { return s->ButtonClick(this); });
}

}  // namespace framework
