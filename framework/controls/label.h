#pragma once
// The label model (LabelControl.Label).

#include "framework/controls/caption_control.h"

namespace framework {

class Label : public CaptionControl<Label> {
  public:
    static constexpr const char* kKind = "label";
};

}  // namespace framework
