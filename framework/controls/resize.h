#pragma once
// The resize control model (ResizeControl.Resize): once started it lets the window's controls
// follow the window's size (the views do the arithmetic). It holds no reference to its owner,
// the module, which owns the window that owns this control.

#include "contracts/controls.h"
#include "framework/controls/control_model.h"

namespace framework {

class Resize : public ControlModel<Resize, host::IResizeControl> {
  public:
    static constexpr const char* kKind = "resize";

    void SetResizeOwner(host::Cinterface* owner) override { Set(hasOwner_, owner != nullptr); }
    void StartResize() override { Set(started_, true); }

    bool HasOwner() const { return hasOwner_; }
    bool Started() const { return started_; }

  private:
    bool hasOwner_ = false, started_ = false;
};

}  // namespace framework
