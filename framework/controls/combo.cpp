#include "framework/controls/combo.h"

#include "framework/text_service.h"

namespace framework {

Combo::Combo() {
    AddBoundMembers(members_, *this, state_);
}

std::string Combo::Text() {
    return selected_ >= 0 ? entries_[static_cast<size_t>(selected_)].value.ToText() : text_;
}

void Combo::SetText(const std::string& text) {
    int32_t found = -1;
    for (size_t i = 0; i < entries_.size() && found < 0; ++i)
        if (!text.empty() && entries_[i].value.ToText() == text) found = static_cast<int32_t>(i);
    selected_ = found;
    text_ = text;
    state_.Changed();
}

void Combo::ClearList() {
    entries_.clear();
    selected_ = -1;
    state_.Changed();
}

void Combo::AddEntry(const std::string& label, const com::Variant& value) {
    entries_.push_back({label, value});
    state_.Changed();
}

void Combo::CheckIndex(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= entries_.size())
        throw com::ComError(
            com::err::SubscriptOutOfRange,
            "The combo " + state_.Name() + " has no entry " + std::to_string(index));
}

com::Variant Combo::ItemValue(int32_t index) {
    CheckIndex(index);
    return entries_[static_cast<size_t>(index)].value;
}

std::vector<std::string> Combo::Labels() {
    std::vector<std::string> labels;
    for (const auto& e : entries_) labels.push_back(Translated(e.label));
    return labels;
}

void Combo::UserChooseValue(const com::Variant& value) {
    // By text, as SetText does: a code typed as text finds its entry too.
    const std::string wanted = value.ToText();
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].value.ToText() == wanted) {
            UserChooseIndex(static_cast<int32_t>(i));
            return;
        }
    }
    throw com::ComError(com::err::InvalidCall,
                        "The combo " + state_.Name() + " has no entry " + value.Debug());
}

void Combo::UserChooseIndex(int32_t index) {
    state_.RequireUserInput("combo");
    CheckIndex(index);
    Choose(index);
    if (edited_) edited_();
}

void Combo::Choose(int32_t index) {
    selected_ = index;
    text_ = entries_[static_cast<size_t>(index)].value.ToText();
    state_.Changed();
}

}  // namespace framework
