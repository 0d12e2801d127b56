// The headless toolkit's windows and driver, and the list box's and the tree view's models. A
// window of the tests' own with a tree and a list records its hooks; a sink records the events of
// both controls.

#include <gmock/gmock.h>

#include <functional>

#include "platform/ui/headless.h"
#include "platform/ui/list_box.h"
#include "platform/ui/tree_view.h"
#include "tests/support/error_matchers.h"

namespace ui::test {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing_support::FailsWith;

class TestWindow : public com::ComObject<TestWindow, Form> {
  public:
    TestWindow() { SetName("FRM_TEST"); }

    std::vector<std::string> hooks;
    com::ComPtr<TreeView> tree;
    com::ComPtr<ListBox> list;
    void Drop(const std::string& name) {
        RemoveControl(name);
        ControlsChanged();
    }

  private:
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

// Counts what the window tells its toolkit beyond showing and unloading.
class CountingToolkit : public HeadlessToolkit {
  public:
    void FormChanged(IForm&) override { ++changes; }
    void FormControlsChanged(IForm&) override { ++changes; }
    int changes = 0;
};

class FormTest : public ::testing::Test {
  protected:
    CountingToolkit toolkit;
    ScopedToolkit installed{toolkit};
    Driver driver{toolkit};
    com::ComPtr<TestWindow> window = com::MakeObject<TestWindow>();
};

TEST_F(FormTest, ShowLoadsOnceActivatesEachTimeAndUnloadReleasesEverything) {
    window->Show();
    window->Show();
    EXPECT_EQ(toolkit.ActiveForm(), window.Get());
    EXPECT_EQ(window->Control("tvw_fields"), window->tree);  // names ignore letter case
    driver.Close(*window);
    EXPECT_THAT(window->hooks, ElementsAre("Load", "Activate", "Activate", "Unload"));
    EXPECT_FALSE(window->Visible());
    EXPECT_TRUE(window->Controls().empty());
    EXPECT_TRUE(toolkit.OpenForms().empty());
    EXPECT_EQ(toolkit.ActiveForm(), nullptr);
    window->Unload();  // not loaded: nothing
    window->Activate();
    EXPECT_EQ(window->hooks.size(), 4u);
}

TEST_F(FormTest, ModalShowRunsTheQueuedActionsUntilTheWindowUnloadsAndNeverHangs) {
    EXPECT_THAT([&] { window->Show(true); },  // no action left: an error, not a hang
                FailsWith(testing::_, HasSubstr("FRM_TEST is still open")));
    EXPECT_TRUE(window->Modal());
    driver.Close(*window);
    EXPECT_FALSE(window->Modal());

    driver.Queue([&] {
        window->tree->Add("", "ART", "Dati Articoli");
        driver.SelectNode(*window, "TVW_FIELDS", "ART");
    });
    driver.Queue([&] { driver.Close(*window); });
    driver.Queue([] { FAIL() << "ran after the window had closed"; });
    window->Show(true);
    EXPECT_FALSE(window->Loaded());
    EXPECT_EQ(window->tree->SelectedItem()->key, "ART");
    EXPECT_EQ(toolkit.PendingActions(), 1u);
}

TEST_F(FormTest, TheWindowTellsItsToolkitOfChangesOnlyWhileLoadedAndFocusesOnlyWhatIsEnabled) {
    window->SetCaption("Prima");
    EXPECT_EQ(toolkit.changes, 0);
    window->Load();
    window->SetCaption("Gestione");
    window->Move(10, 20, 300, 400);
    EXPECT_EQ(toolkit.changes, 2);

    window->tree->SetEnabled(false);
    EXPECT_THAT([&] { window->tree->SetFocus(); }, FailsWith(com::err::InvalidCall));
    EXPECT_EQ(window->FocusedControl(), "");
    window->tree->SetEnabled(true);
    window->tree->SetFocus();
    EXPECT_EQ(window->FocusedControl(), "TVW_FIELDS");

    // A control taken off is no longer the window's, and takes its focus with it for good.
    window->Drop("tvw_fields");
    EXPECT_EQ(toolkit.changes, 3);
    EXPECT_FALSE(window->Control("TVW_FIELDS"));
    EXPECT_EQ(window->FocusedControl(), "");
    window->tree->SetFocus();
    EXPECT_EQ(window->FocusedControl(), "");
}

TEST_F(FormTest, TheDriverNamesTheControlItCannotUse) {
    window->Show();
    const struct {
        std::function<void()> step;
        const char* says;
    } cases[] = {
        {[&] { driver.Type(*window, "TXT_NONE", "x"); }, "no control named TXT_NONE"},
        {[&] { driver.Type(*window, "TVW_FIELDS", "x"); }, "TVW_FIELDS (tree) is not a text field"},
        {[&] { driver.SelectListEntry(*window, "TVW_FIELDS", 0); },
         "TVW_FIELDS (tree) is not a list"},
        {[&] { driver.PressToolbar(*window, "LST_FIELDS", 0); },
         "LST_FIELDS (list) is not a toolbar"},
        {[&] { driver.PressToolbar(*window, "TBAR_NONE", 0); }, "no control named TBAR_NONE"},
    };
    for (const auto& c : cases) EXPECT_THAT(c.step, FailsWith(testing::_, HasSubstr(c.says)));
    window->list->AddItem("Cliente");
    driver.SelectListEntry(*window, "LST_FIELDS", 0);
    EXPECT_EQ(window->list->ListIndex(), 0);
}

// A window activated by the driver without being shown leaves with its unload all the same, and
// one that is not loaded cannot be made active: no unload would take it back.
TEST_F(FormTest, TheActiveWindowIsNeverOneThatHasUnloaded) {
    auto loaded = com::MakeObject<TestWindow>();
    window->Show();
    loaded->Load();
    driver.Activate(*loaded);
    EXPECT_EQ(toolkit.ActiveForm(), loaded.Get());
    loaded->Unload();
    EXPECT_EQ(toolkit.ActiveForm(), window.Get());
    driver.Activate(*loaded);
    EXPECT_EQ(toolkit.ActiveForm(), window.Get());
    window->Unload();
    EXPECT_EQ(toolkit.ActiveForm(), nullptr);
}

TEST(ListBox, RemovingKeepsTheSelectionAndTheItemDataOnTheirEntries) {
    auto list = ListBox::Create();
    for (const char* text : {"a", "b", "c", "d"}) {
        list->AddItem(text);
        list->SetItemData(list->NewIndex(), list->NewIndex() + 10);
    }
    list->SetListIndex(2);  // "c"
    list->RemoveItem(1);    // just before the selection
    EXPECT_EQ(list->ListIndex(), 1);
    list->RemoveItem(2);  // after the selection
    EXPECT_EQ(list->ListIndex(), 1);
    EXPECT_EQ(list->List(1) + ":" + std::to_string(list->ItemData(1)), "c:12");
    list->RemoveItem(1);  // the selected one
    EXPECT_EQ(list->ListIndex(), -1);
    EXPECT_THAT([&] { list->RemoveItem(1); }, FailsWith(381));
    EXPECT_THAT([&] { list->SetListIndex(1); }, FailsWith(380));
    EXPECT_EQ(list->ListCount(), 1);
}

// Every sink hears it and the first failure comes back to the source; a sink disconnected while
// the event is delivered is not called, and a subscription holds no reference to its sink.
TEST(ListBox, OnlyTheUsersClickRaisesListClickAndEverySinkHearsIt) {
    auto list = ListBox::Create();
    list->SetName("LST_FIELDS");
    for (const char* text : {"a", "b", "c"}) list->AddItem(text);
    auto a = com::MakeObject<EventLog>(), b = com::MakeObject<EventLog>();
    com::EventConnection ca, cb;
    ASSERT_TRUE(ca.Connect<IListBoxEvents>(static_cast<IControl*>(list.Get()), a.Get()));
    ASSERT_TRUE(cb.Connect<IListBoxEvents>(static_cast<IControl*>(list.Get()), b.Get()));
    list->SetListIndex(0);
    a->fail = true;
    EXPECT_THAT([&] { list->UserSelect(2); }, FailsWith(com::err::InvalidCall));
    EXPECT_THAT(b->events, ElementsAre("ListClick 2"));
    a->fail = false;
    a->onEvent = [&] { cb.Reset(); };
    list->UserSelect(1);
    EXPECT_EQ(b->events.size(), 1u);
    list->SetVisible(false);
    EXPECT_THAT([&] { list->UserSelect(0); }, FailsWith(testing::_, HasSubstr("LST_FIELDS")));
    EXPECT_EQ(list->ListIndex(), 1);
    EXPECT_EQ(a->events.size(), 2u);
    ca.Reset();
    EXPECT_EQ(a->AddRef(), 2u);
    a->Release();
}

// Two groups with attributes, as the field editor builds them.
com::ComPtr<TreeView> SampleTree() {
    auto tree = TreeView::Create();
    tree->SetName("TVW_FIELDS");
    tree->Add("", "ART", "Dati Articoli");
    tree->Add("ART", "CODA", "Codice articolo");
    tree->Add("", "CLI", "Dati clienti");
    tree->Add("ART", "TPPD", "Tipo prodotto");
    tree->Add("CLI", "INDC", "Cliente");
    return tree;
}

TEST(TreeView, NodesHangUnderTheirRelativeInOrderAndStylingIsRedrawnWhenItChanges) {
    auto tree = SampleTree();
    TreeNode& art = *tree->Find("ART");
    ASSERT_EQ(art.Children(), 2);
    EXPECT_EQ(art.children[1]->key, "TPPD");  // appended as the last child
    EXPECT_EQ(tree->Node(4).key, "TPPD");
    EXPECT_EQ(tree->Find("INDC")->parent, tree->Find("CLI"));
    EXPECT_THAT([&] { tree->Add("", "CODA", "again"); }, FailsWith(35602));
    EXPECT_THAT([&] { tree->Add("NONE", "NEW1", "orphan"); }, FailsWith(35601));
    EXPECT_EQ(tree->Count(), 5);

    int changes = 0;
    tree->AddObserver([&] { ++changes; });
    tree->SetBold(art, true);
    tree->SetForeColor(art, Rgb(132, 132, 132));
    tree->SetBold(art, true);
    EXPECT_EQ(changes, 2);
    tree->EnsureVisible(*tree->Find("INDC"));
    EXPECT_EQ(tree->FirstVisible(), 5);
    EXPECT_TRUE(tree->Find("CLI")->expanded);
    EXPECT_FALSE(art.expanded);
}

TEST(TreeView, OnlyTheUserRaisesEventsAndNotWhileTheTreeIsDisabled) {
    auto tree = SampleTree();
    auto sink = com::MakeObject<EventLog>();
    com::EventConnection connection;
    ASSERT_TRUE(
        connection.Connect<ITreeViewEvents>(static_cast<IControl*>(tree.Get()), sink.Get()));
    tree->Select(tree->Find("CODA"));
    tree->SetEnabled(false);
    EXPECT_THAT([&] { tree->UserSelect("INDC"); }, FailsWith(com::err::InvalidCall));
    EXPECT_THAT([&] { tree->UserDoubleClick(); }, FailsWith(com::err::InvalidCall));
    EXPECT_EQ(tree->SelectedItem()->key, "CODA");
    EXPECT_TRUE(sink->events.empty());

    tree->SetEnabled(true);
    tree->UserSelect("INDC");
    tree->UserDoubleClick();
    EXPECT_THAT(sink->events, ElementsAre("NodeClick INDC", "DblClick TVW_FIELDS"));
}

}  // namespace
}  // namespace ui::test
