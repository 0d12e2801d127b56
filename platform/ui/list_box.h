#pragma once
// The model of the platform's list box: texts with item data and one selection.

#include <functional>
#include <string>
#include <vector>

#include "platform/com/events.h"
#include "platform/ui/control_model.h"

namespace ui {

class ListBox;

struct IListBoxEvents : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F30");
    virtual com::HRESULT ListClick(ListBox* list) noexcept = 0;

  protected:
    ~IListBoxEvents() = default;
};

struct IListBox : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F31");

  protected:
    ~IListBox() = default;
};

// Implements IControl (kind "list") and IEventSource (IListBoxEvents).
class ListBox : public ControlModel<ListBox, IListBox, RaisesEvents<IListBoxEvents>> {
  public:
    static constexpr const char* kKind = "list";
    static com::ComPtr<ListBox> Create();

    int32_t ListCount() const;
    int32_t ListIndex() const { return listIndex_; }  // -1 when nothing is selected
    void SetListIndex(int32_t index);                 // -1 clears; error 380 outside -1..count-1
    std::string List(int32_t index) const;            // error 381 outside 0..count-1
    void SetList(int32_t index, const std::string& text);
    int32_t ItemData(int32_t index) const;
    void SetItemData(int32_t index, int32_t data);
    void AddItem(const std::string& text);
    int32_t NewIndex() const { return newIndex_; }  // position of the entry just appended
    void RemoveItem(int32_t index);
    void Clear();

    // The user's side: select entry `index` (raises ListClick).
    void UserSelect(int32_t index);

    void SetEnabled(bool on) { state_.SetEnabled(on); }

  private:
    ListBox() = default;
    void Changed() { state_.Changed(); }
    struct Entry {
        std::string text;
        int32_t data = 0;
    };
    std::vector<Entry> entries_;
    int32_t listIndex_ = -1;
    int32_t newIndex_ = -1;
};

}  // namespace ui
