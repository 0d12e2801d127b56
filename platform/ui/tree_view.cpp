#include "platform/ui/tree_view.h"

namespace ui {

namespace {

// A node handed in by reference must be one of this tree's.
void RequireOwn(const std::vector<std::unique_ptr<TreeNode>>& nodes, const TreeNode& node) {
    int32_t i = node.index;
    if (i < 1 || i > static_cast<int32_t>(nodes.size()) || nodes[i - 1].get() != &node)
        throw com::ComError(com::err::ElementNotFound,
                            "Element not found: the node is not in this tree");
}

}  // namespace

com::ComPtr<TreeView> TreeView::Create() {
    return com::ComPtr<TreeView>(new TreeView());
}

TreeNode& TreeView::Add(const std::string& relativeKey, const std::string& key,
                        const std::string& text) {
    // Nodes without a key are allowed (as in the platform control); only keys must be unique.
    if (!key.empty() && Find(key))
        throw com::ComError(com::err::KeyNotUnique, "Key is not unique in collection: " + key);
    TreeNode* parent = nullptr;
    if (!relativeKey.empty()) {
        parent = Find(relativeKey);
        if (!parent)
            throw com::ComError(com::err::ElementNotFound, "Element not found: " + relativeKey);
    }
    auto node = std::make_unique<TreeNode>();
    node->key = key;
    node->text = text;
    node->index = Count() + 1;
    node->parent = parent;
    TreeNode& added = *node;
    nodes_.push_back(std::move(node));
    if (parent) parent->children.push_back(&added);
    Changed();
    return added;
}

int32_t TreeView::Count() const {
    return static_cast<int32_t>(nodes_.size());
}

TreeNode& TreeView::Node(int32_t index) {
    if (index < 1 || index > Count())
        throw com::ComError(com::err::IndexOutOfBounds,
                            "Index out of bounds: " + std::to_string(index));
    return *nodes_[index - 1];
}

TreeNode* TreeView::Find(const std::string& key) {
    if (key.empty()) return nullptr;
    for (auto& n : nodes_)
        if (n->key == key) return n.get();
    return nullptr;
}

TreeNode* TreeView::SelectedItem() {
    return selected_;
}

void TreeView::Select(TreeNode* node) {
    if (node) RequireOwn(nodes_, *node);
    if (selected_ == node) return;
    selected_ = node;
    Changed();
}

void TreeView::SetBold(TreeNode& node, bool on) {
    RequireOwn(nodes_, node);
    if (node.bold == on) return;
    node.bold = on;
    Changed();
}

void TreeView::SetExpanded(TreeNode& node, bool on) {
    RequireOwn(nodes_, node);
    if (node.expanded == on) return;
    node.expanded = on;
    Changed();
}

void TreeView::SetForeColor(TreeNode& node, uint32_t rgb) {
    RequireOwn(nodes_, node);
    if (node.foreColor == rgb) return;
    node.foreColor = rgb;
    Changed();
}

void TreeView::EnsureVisible(TreeNode& node) {
    RequireOwn(nodes_, node);
    // A node is only visible with its ancestors expanded.
    for (TreeNode* p = node.parent; p; p = p->parent) p->expanded = true;
    firstVisible_ = node.index;
    Changed();
}

void TreeView::Clear() {
    nodes_.clear();
    selected_ = nullptr;
    firstVisible_ = 0;
    Changed();
}

void TreeView::SetFocus() {
    state_.RequestFocus();
}

void TreeView::UserSelect(const std::string& key) {
    state_.RequireUserInput("tree");
    TreeNode* node = Find(key);
    if (!node)
        throw com::ComError(com::err::ElementNotFound,
                            "The tree " + state_.Name() + " has no node with the key " + key);
    auto keep = Self<ITreeView>();  // a handler may release the window that holds this tree
    Select(node);
    events_.Raise([&](ITreeViewEvents* s) { return s->TreeNodeClick(this, node); });
}

void TreeView::UserDoubleClick() {
    state_.RequireUserInput("tree");
    auto keep = Self<ITreeView>();
    events_.Raise([&](ITreeViewEvents* s) { return s->TreeDblClick(this); });
}

}  // namespace ui
