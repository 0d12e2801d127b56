#pragma once
// A window of the tests' own with a tree and a list, that records its hooks; a sink that records
// the events of both controls; what a failing call threw.

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/headless.h"
#include "platform/ui/list_box.h"
#include "platform/ui/tree_view.h"

namespace ui::test {

// The error a call throws (number 0 and no text when it succeeds).
inline com::ComError ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const com::ComError& e) {
        return e;
    }
    return {};
}

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class TestWindow : public com::ComObject<TestWindow, Form> {
  public:
    static com::ComPtr<TestWindow> Create() { return com::ComPtr<TestWindow>(new TestWindow()); }

    std::vector<std::string> hooks;
    bool unloadInLoad = false;
    com::ComPtr<TreeView> tree;
    com::ComPtr<ListBox> list;

    using Form::AddControl;
    using Form::CreateControl;

  private:
    friend class com::ComObject<TestWindow, Form>;
    TestWindow() { SetName("FRM_TEST"); }

    void Form_Load() override {
        hooks.push_back("Load");
        tree = TreeView::Create();
        list = ListBox::Create();
        AddControl(tree, "TVW_FIELDS");
        AddControl(list, "LST_FIELDS");
        if (unloadInLoad) {
            Unload();
            hooks.push_back("Load continues with " + std::to_string(Controls().size()) +
                            " controls");
        }
    }
    void Form_Activate() override { hooks.push_back("Activate"); }
    void Form_Unload() override { hooks.push_back("Unload"); }
};

class EventLog : public com::ComObject<EventLog, ITreeViewEvents, IListBoxEvents> {
  public:
    static com::ComPtr<EventLog> Create() { return com::ComPtr<EventLog>(new EventLog()); }

    std::vector<std::string> events;
    bool fail = false;  // the handlers record the event, then fail

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
    friend class com::ComObject<EventLog, ITreeViewEvents, IListBoxEvents>;
    EventLog() = default;
    com::HRESULT Record(const std::string& event) noexcept {
        return com::Guard([&] {
            events.push_back(event);
            if (fail) throw com::ComError(com::err::InvalidCall, "handler failed on " + event);
        });
    }
};

}  // namespace ui::test
