#pragma once
// The choice field model (ComboControl): entries of a label and a value. Its Text is the
// selected entry's value as text (the code, not the label), which is what the bound column holds.

#include <functional>
#include <string>
#include <vector>

#include "contracts/controls.h"
#include "framework/controls/control_model.h"
#include "framework/controls/frame_links.h"

namespace framework {

class Combo
    : public ControlModel<Combo, host::IComboControl, ui::IChoiceInput, IFrameField, LateBound> {
  public:
    static constexpr const char* kKind = "combo";
    Combo();

    // host::IBoundControl
    std::string DBField() override { return dbField_; }
    void SetDBField(const std::string& column) override { Set(dbField_, column); }
    // The selected entry's value as text; without a selection, the text last set.
    std::string Text() override;
    // Selects the entry whose value reads as `text`; when none does, nothing is selected and
    // the text is kept as it is.
    void SetText(const std::string& text) override;
    void SetRequired(bool required) override { Set(required_, required); }
    void SetMaxChar(int32_t maxChar) override { Set(maxChar_, maxChar); }

    // host::IComboControl (SelectedIndex also serves ui::IChoiceInput)
    void ClearList() override;
    void AddEntry(const std::string& label, const com::Variant& value) override;
    void SetListSetting(int32_t value) override { Set(listSetting_, value); }
    int32_t SelectedIndex() override { return selected_; }
    com::Variant ItemValue(int32_t index) override;  // error 9 outside the list
    void SetDbCol(int32_t column) override { Set(dbCol_, column); }

    // ui::IChoiceInput
    std::vector<std::string> Labels() override;  // in the user's language
    void UserChooseValue(const com::Variant& value) override;
    void UserChooseIndex(int32_t index) override;

    // IFrameField
    void SetEditedHandler(std::function<void()> edited) override { edited_ = std::move(edited); }
    bool Required() override { return required_; }
    int32_t MaxChar() override { return maxChar_; }
    bool Numeric() override { return false; }
    std::string FieldCaption() override { return state_.Name(); }
    void Clear() override { SetText({}); }

    int32_t ListSetting() const { return listSetting_; }
    int32_t DbCol() const { return dbCol_; }

  private:
    struct Entry {
        std::string label;
        com::Variant value;
    };
    void CheckIndex(int32_t index) const;
    void Choose(int32_t index);

    std::vector<Entry> entries_;
    int32_t selected_ = -1;
    std::string dbField_, text_;
    bool required_ = false;
    int32_t maxChar_ = 0, listSetting_ = 0, dbCol_ = 0;
    std::function<void()> edited_;
};

}  // namespace framework
