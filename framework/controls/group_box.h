#pragma once
// The group box model (GroupBoxControl.GroupBox): a caption framing other controls.

#include "framework/controls/caption_control.h"

namespace framework {

class GroupBox : public CaptionControl<GroupBox> {
  public:
    static constexpr const char* kKind = "groupbox";
};

}  // namespace framework
