#pragma once
// A window of the tests' own with a tree and a list, that records its hooks; a sink that records
// the events of both controls.

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/headless.h"
#include "platform/ui/list_box.h"
#include "platform/ui/tree_view.h"

namespace ui::test {

class TestWindow : public com::ComObject<TestWindow, Form> {
  public:
    static com::ComPtr<TestWindow> Create() { return com::ComPtr<TestWindow>(new TestWindow()); }

    std::vector<std::string> hooks;
    com::ComPtr<TreeView> tree;
    com::ComPtr<ListBox> list;

  private:
    friend class com::ComObject<TestWindow, Form>;
    TestWindow() { SetName("FRM_TEST"); }

    void Form_Load() override {
        hooks.push_back("Load");
        tree = TreeView::Create();
        list = ListBox::Create();
        AddControl(tree, "TVW_FIELDS");
        AddControl(list, "LST_FIELDS");
    }
    void Form_Activate() override { hooks.push_back("Activate"); }
    void Form_Unload() override { hooks.push_back("Unload"); }
};

class EventLog : public com::ComObject<EventLog, ITreeViewEvents, IListBoxEvents> {
  public:
    std::vector<std::string> events;
    bool fail = false;              // the handlers record the event, then fail
    std::function<void()> onEvent;  // run as an event is recorded

    com::HRESULT TreeDblClick(TreeView* tree) noexcept override {
        return Record("DblClick " + tree->Name());
    }
    com::HRESULT TreeNodeClick(TreeView*, TreeNode* node) noexcept override {
        return Record("NodeClick " + node->key);
    }
    com::HRESULT ListClick(ListBox* list) noexcept override {
        return Record("ListClick " + std::to_string(list->ListIndex()));
    }

  private:
    com::HRESULT Record(const std::string& event) noexcept {
        return com::Guard([&] {
            events.push_back(event);
            if (onEvent) onEvent();
            if (fail) throw com::ComError(com::err::InvalidCall, "handler failed on " + event);
        });
    }
};

}  // namespace ui::test
