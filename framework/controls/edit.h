#pragma once
// The data field model (EditControl). Two switches govern the user's access: `Available` (the
// IControl's Enabled: the field takes focus and input only while on) and the design setting
// `enabled` (off: the field still takes the focus and raises GotFocus, but refuses typing, as a
// read-only field that hands the focus on does).

#include <functional>
#include <string>

#include "contracts/controls.h"
#include "framework/controls/control_model.h"
#include "framework/controls/frame_links.h"
#include "framework/text_service.h"

namespace framework {

class Edit : public ControlModel<Edit, host::IEditControl, ui::ITextInput, IFrameField,
                                 RaisesEvents<host::IEditEvents>, LateBound> {
  public:
    static constexpr const char* kKind = "edit";
    Edit();

    // host::IBoundControl
    std::string DBField() override { return dbField_; }
    void SetDBField(const std::string& column) override { Set(dbField_, column); }
    std::string Text() override { return text_; }
    void SetText(const std::string& text) override;  // from code: the frame is not told
    void SetRequired(bool required) override { Set(required_, required); }
    void SetMaxChar(int32_t maxChar) override { Set(maxChar_, maxChar); }

    // host::IEditControl
    void FocusField() override;
    bool Available() override { return state_.Enabled(); }
    void SetAvailable(bool on) override { state_.SetEnabled(on); }
    void SetDisplayFormat(const std::string& format) override;
    void SetNumeric(bool on) override { Set(numeric_, on); }
    void SetCharacter(bool on) override { Set(character_, on); }
    void SetEnabled(bool on) override { Set(editable_, on); }
    void SetIsOrder(bool on) override { Set(isOrder_, on); }
    void SetMaxWidth(int32_t chars) override { Set(maxWidth_, chars); }
    void SetCaption(const std::string& caption) override { Set(caption_, caption); }
    void SetTag(const std::string& tag) override { Set(tag_, tag); }

    // ui::ITextInput
    std::string DisplayText() override { return text_; }
    // Errors naming the field: not available, not enabled, or not a number where one is due.
    void UserType(const std::string& text) override;
    void UserFocus() override { TakeFocus(); }

    // IFrameField
    void SetEditedHandler(std::function<void()> edited) override { edited_ = std::move(edited); }
    bool Required() override { return required_; }
    int32_t MaxChar() override { return maxChar_; }
    bool Numeric() override { return numeric_; }
    // In the user's language, as the frame's messages and the views name the field.
    std::string FieldCaption() override {
        return caption_.empty() ? state_.Name() : Translated(caption_);
    }
    void Clear() override { SetText({}); }

    // For views.
    bool Editable() const { return editable_; }
    bool UpperCase() const { return upper_; }
    const std::string& DisplayFormat() const { return displayFormat_; }
    int32_t MaxWidth() const { return maxWidth_; }
    const std::string& Tag() const { return tag_; }

  private:
    void TakeFocus();
    std::string Shown(const std::string& text) const;

    std::string dbField_, text_, caption_, tag_;
    std::string displayFormat_ = host::display_format::Any;
    bool upper_ = false, required_ = false, numeric_ = false, character_ = false;
    bool editable_ = true, isOrder_ = false;
    int32_t maxChar_ = 0, maxWidth_ = 0;
    std::function<void()> edited_;
};

}  // namespace framework
