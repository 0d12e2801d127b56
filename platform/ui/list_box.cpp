#include "platform/ui/list_box.h"

namespace ui {

namespace {

void RequireIndex(int32_t index, int32_t count) {
    if (index < 0 || index >= count)
        throw com::ComError(com::err::InvalidArrayIndex,
                            "Invalid property array index: " + std::to_string(index));
}

}  // namespace

com::ComPtr<ListBox> ListBox::Create() {
    return com::ComPtr<ListBox>(new ListBox());
}

int32_t ListBox::ListCount() const {
    return static_cast<int32_t>(entries_.size());
}

void ListBox::SetListIndex(int32_t index) {
    if (index < -1 || index >= ListCount())
        throw com::ComError(com::err::InvalidPropertyValue,
                            "Invalid property value: ListIndex " + std::to_string(index));
    // Selecting by code raises nothing; only the user's click raises ListClick.
    if (listIndex_ == index) return;
    listIndex_ = index;
    Changed();
}

std::string ListBox::List(int32_t index) const {
    RequireIndex(index, ListCount());
    return entries_[index].text;
}

void ListBox::SetList(int32_t index, const std::string& text) {
    RequireIndex(index, ListCount());
    if (entries_[index].text == text) return;
    entries_[index].text = text;
    Changed();
}

int32_t ListBox::ItemData(int32_t index) const {
    RequireIndex(index, ListCount());
    return entries_[index].data;
}

void ListBox::SetItemData(int32_t index, int32_t data) {
    RequireIndex(index, ListCount());
    entries_[index].data = data;  // not shown: no observer to tell
}

void ListBox::AddItem(const std::string& text) {
    entries_.push_back({text, 0});
    newIndex_ = ListCount() - 1;
    Changed();
}

void ListBox::RemoveItem(int32_t index) {
    RequireIndex(index, ListCount());
    entries_.erase(entries_.begin() + index);
    // The selection stays on its entry: gone with it, or one place up when an earlier one goes.
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
    newIndex_ = -1;
    Changed();
}

void ListBox::Clear() {
    entries_.clear();
    listIndex_ = -1;
    newIndex_ = -1;
    Changed();
}

void ListBox::UserSelect(int32_t index) {
    state_.RequireUserInput("list");
    if (index < 0 || index >= ListCount())
        throw com::ComError(com::err::InvalidArrayIndex,
                            "The list " + state_.Name() + " has no entry " + std::to_string(index));
    auto keep = Self<IListBox>();  // a handler may release the window that holds this list
    SetListIndex(index);
    events_.Raise([&](IListBoxEvents* s) { return s->ListClick(this); });
}

}  // namespace ui
