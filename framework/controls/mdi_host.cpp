#include "framework/controls/mdi_host.h"

namespace framework {

void MdiHost::PlaceWindow(com::Variant& left, com::Variant& top, int32_t width, int32_t height) {
    placement_ = {left.ToLong(), top.ToLong(), width, height};
    if (form_) form_->Move(placement_.left, placement_.top, width, height);
    state_.Changed();
}

void MdiHost::TakeIn() {
    com::ComPtr<host::IMdiHost> keep(this);
    ++takenIn_;
    RaiseForUser(events_, state_.Name(), [](host::IMdiHostEvents* s) { return s->FormLoad(); });
}

}  // namespace framework
