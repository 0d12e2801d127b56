#pragma once
// Controls that only show a caption (labels, group boxes).

#include <string>

#include "contracts/controls.h"
#include "framework/controls/control_model.h"
#include "framework/text_service.h"

namespace framework {

template <class Impl>
class CaptionControl : public ControlModel<Impl, host::ICaptionControl, ui::ICaptioned> {
  public:
    std::string Caption() override { return caption_; }
    void SetCaption(const std::string& caption) override { this->Set(caption_, caption); }
    // The design caption in the user's language.
    std::string DisplayCaption() override { return Translated(caption_); }

  private:
    std::string caption_;
};

}  // namespace framework
