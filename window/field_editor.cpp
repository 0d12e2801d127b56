// The field-structure editor: the attribute tree built from the catalogue, the list of chosen
// attributes that mirrors the structure string, reordering, and the editor's controls.

#include <vector>

#include "resources/attribute_catalogue.h"
#include "window/field_structure.h"
#include "window/frm_mgquintab.h"

namespace dravel {

namespace {

constexpr uint32_t kGroupColour = ui::Rgb(132, 132, 132);
constexpr int32_t kUp = 1;
constexpr int32_t kDown = 2;

std::vector<std::string> SplitAtBackslash(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t at; (at = line.find('\\', start)) != std::string::npos; start = at + 1)
        fields.push_back(line.substr(start, at - start));
    fields.push_back(line.substr(start));
    return fields;
}

}  // namespace

// The catalogue ends at the first id without a string; returns that id.
int32_t FRM_MGQUINTAB::BuildAttributeTree() {
    for (int32_t id = kFirstAttributeId;; ++id) {
        std::string line;
        try {
            line = LoadResString(id);
        } catch (const com::ComError&) {
            com::Err().Clear();
            return id;
        }
        AddTreeNode(line);
    }
}

// "\GROUP\Caption" is a group node; "\GROUP\CODE\Caption" an attribute under its group.
void FRM_MGQUINTAB::AddTreeNode(std::string& line) {
    if (!line.empty() && line.back() == '\\') line.pop_back();
    if (!line.empty() && line.front() == '\\') line.erase(0, 1);
    if (line.empty()) return;
    auto f = SplitAtBackslash(line);
    size_t n = f.size() - 1;
    if (n == 1) {
        TVW_FIELDS->Add("", f[0], TranslateText(f[1]));
    } else if (n >= 2) {
        TVW_FIELDS->Add(f[n - 2], f[n - 1], TranslateText(f[n]));
    }
}

// Empties the list and restores the nodes' styling; the two fields keep their texts.
void FRM_MGQUINTAB::ResetFieldEditor() {
    while (LST_FIELDS->ListCount() > 0) LST_FIELDS->RemoveItem(0);
    for (int32_t i = 1; i <= TVW_FIELDS->Count(); ++i) {
        auto& node = TVW_FIELDS->Node(i);
        if (node.Children() > 0) {
            TVW_FIELDS->SetExpanded(node, true);
            TVW_FIELDS->SetForeColor(node, kGroupColour);
            TVW_FIELDS->SetBold(node, true);
        } else {
            TVW_FIELDS->SetBold(node, false);
        }
    }
    if (TVW_FIELDS->Count() > 0) TVW_FIELDS->EnsureVisible(TVW_FIELDS->Node(1));
}

void FRM_MGQUINTAB::LoadStructure(const std::string& structure) {
    for (const std::string& code : SplitStructure(structure)) {
        for (int32_t i = 1; i <= TVW_FIELDS->Count(); ++i) {
            auto& node = TVW_FIELDS->Node(i);
            if (node.key != code) continue;
            TVW_FIELDS->SetBold(node, true);
            LST_FIELDS->AddItem(node.text);
            LST_FIELDS->SetItemData(LST_FIELDS->NewIndex(), node.index);
        }
    }
}

ui::TreeNode& FRM_MGQUINTAB::EntryNode(int32_t position) {
    return TVW_FIELDS->Node(LST_FIELDS->ItemData(position));
}

std::string FRM_MGQUINTAB::ComposedDescription() {
    std::string description;
    for (int32_t i = 0; i < LST_FIELDS->ListCount(); ++i) {
        if (i > 0) description += ", ";
        description += LST_FIELDS->List(i);
    }
    return description;
}

// The structure always follows the list; the description only while a new row is added.
void FRM_MGQUINTAB::RebuildStructure() {
    std::string structure;
    for (int32_t i = 0; i < LST_FIELDS->ListCount(); ++i) structure += EntryNode(i).key;
    if (LST_FIELDS->ListCount() > 0 && FME_PARENT->Status() == host::frame_status::New)
        TXT_DESCR->SetText(ComposedDescription());
    TXT_STRUT->SetText(structure);
}

void FRM_MGQUINTAB::MoveSelectedField(int32_t direction) {
    int32_t p = LST_FIELDS->ListIndex();
    if (p < 0) return;
    int32_t q;
    if (direction == kUp && p > 0) {
        q = p - 1;
    } else if (direction == kDown && p < LST_FIELDS->ListCount() - 1) {
        q = p + 1;
    } else {
        return;
    }
    std::string text = LST_FIELDS->List(p);
    int32_t data = LST_FIELDS->ItemData(p);
    LST_FIELDS->SetList(p, LST_FIELDS->List(q));
    LST_FIELDS->SetItemData(p, LST_FIELDS->ItemData(q));
    LST_FIELDS->SetList(q, text);
    LST_FIELDS->SetItemData(q, data);
    LST_FIELDS->SetListIndex(q);
    FME_PARENT->SetModified(true);
    FME_PARENT->NotifyModified();
}

bool FRM_MGQUINTAB::IsSelectableNode(ui::TreeNode& node) {
    if (TVW_FIELDS->SelectedItem() != &node || node.Children() > 0) return false;
    for (int32_t i = 0; i < LST_FIELDS->ListCount(); ++i)
        if (LST_FIELDS->ItemData(i) == node.index) return false;
    return true;
}

com::HRESULT FRM_MGQUINTAB::TreeDblClick(ui::TreeView*) noexcept {
    return com::Guard([&] { TVW_FIELDS_DblClick(); });
}

com::HRESULT FRM_MGQUINTAB::TreeNodeClick(ui::TreeView*, ui::TreeNode*) noexcept {
    return com::S_OK;
}

com::HRESULT FRM_MGQUINTAB::ListClick(ui::ListBox*) noexcept {
    return com::S_OK;
}

com::HRESULT FRM_MGQUINTAB::GotFocus(host::IEditControl* field) noexcept {
    return com::Guard([&] {
        if (com::SameObject(field, TXT_STRUT.Get())) TXT_STRUT_GotFocus();
    });
}

void FRM_MGQUINTAB::TVW_FIELDS_DblClick() {
    if (auto* node = TVW_FIELDS->SelectedItem()) AddAttribute(node->key);
}

void FRM_MGQUINTAB::TBAR_SELECT_ButtonClick(int16_t index) {
    if (index == 0) {
        for (int32_t i = 1; i <= TVW_FIELDS->Count(); ++i) {
            auto& node = TVW_FIELDS->Node(i);
            if (IsSelectableNode(node)) AddAttribute(node.key);
        }
    } else if (index == 1) {
        int32_t selected = LST_FIELDS->ListIndex();
        if (selected >= 0) RemoveAttribute(EntryNode(selected).key);
        if (LST_FIELDS->ListCount() > 0) LST_FIELDS->SetListIndex(0);
    }
}

// The rebuild runs even when the move changed nothing.
void FRM_MGQUINTAB::TBAR_FIELDS_ButtonClick(int16_t index) {
    int32_t count = LST_FIELDS->ListCount();
    int32_t selected = LST_FIELDS->ListIndex();
    if (count < 2) return;
    if ((index == 0 && selected > 0) || (index == 1 && selected < count)) {
        MoveSelectedField(index == 0 ? kUp : kDown);
        RebuildStructure();
    }
}

void FRM_MGQUINTAB::TXT_STRUT_GotFocus() {
    TVW_FIELDS->SetFocus();
}

}  // namespace dravel
