#pragma once
// The model of the platform's tree view: nodes with keys, captions and styling.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/com/events.h"
#include "platform/ui/control_model.h"

namespace ui {

class TreeView;

struct TreeNode {
    std::string key;
    std::string text;
    int32_t index = 0;  // 1-based, order of creation
    TreeNode* parent = nullptr;
    std::vector<TreeNode*> children;
    bool bold = false;
    bool expanded = false;
    uint32_t foreColor = 0;  // RGB as 0x00BBGGRR
    int32_t Children() const { return static_cast<int32_t>(children.size()); }
};

inline constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) |
           (static_cast<uint32_t>(b) << 16);
}

struct ITreeViewEvents : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F20");
    virtual com::HRESULT TreeDblClick(TreeView* tree) noexcept = 0;
    virtual com::HRESULT TreeNodeClick(TreeView* tree, TreeNode* node) noexcept = 0;

  protected:
    ~ITreeViewEvents() = default;
};

struct ITreeView : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F21");

  protected:
    ~ITreeView() = default;
};

// Implements IControl (kind "tree") and IEventSource (ITreeViewEvents).
class TreeView : public ControlModel<TreeView, ITreeView, RaisesEvents<ITreeViewEvents>> {
  public:
    static constexpr const char* kKind = "tree";
    static com::ComPtr<TreeView> Create();

    // Adds a top-level node (relativeKey empty) or the last child of the node with relativeKey.
    // Error 35602 when the key exists already, 35601 when relativeKey names no node.
    TreeNode& Add(const std::string& relativeKey, const std::string& key, const std::string& text);
    int32_t Count() const;
    TreeNode& Node(int32_t index);           // 1-based; error 35600 outside 1..Count
    TreeNode* Find(const std::string& key);  // nullptr when none
    TreeNode* SelectedItem();                // nullptr when none
    void Select(TreeNode* node);             // by code; raises nothing
    void SetBold(TreeNode& node, bool on);
    void SetExpanded(TreeNode& node, bool on);
    void SetForeColor(TreeNode& node, uint32_t rgb);
    void EnsureVisible(TreeNode& node);
    int32_t FirstVisible() const { return firstVisible_; }  // index of the node scrolled into view
    void Clear();
    void SetFocus();

    // The user's side: select a node by key (raises TreeNodeClick), double-click the tree.
    void UserSelect(const std::string& key);
    void UserDoubleClick();

    void SetEnabled(bool on) { state_.SetEnabled(on); }

  private:
    TreeView() = default;
    void Changed() { state_.Changed(); }

    std::vector<std::unique_ptr<TreeNode>> nodes_;
    TreeNode* selected_ = nullptr;
    int32_t firstVisible_ = 0;
};

}  // namespace ui
