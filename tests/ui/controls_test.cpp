// The list box's and the tree view's models: the selection and the item data stay on their
// entries, nodes hang under their relatives, styling is redrawn when it changes, and only the user
// raises their events.

#include <gmock/gmock.h>

#include "tests/support/error_matchers.h"
#include "tests/ui/test_window.h"

namespace ui::test {
namespace {

using testing::ElementsAre;
using testing_support::FailsWith;

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

// Every sink hears an event and the first failure comes back to the source; a sink disconnected
// while the event is delivered is not called, and a subscription holds no reference to its sink.
TEST(ListBox, EverySinkHearsTheUsersClickAndTheFirstFailureComesBack) {
    auto list = ListBox::Create();
    for (const char* text : {"a", "b"}) list->AddItem(text);
    auto a = com::MakeObject<EventLog>(), b = com::MakeObject<EventLog>();
    com::EventConnection ca, cb;
    ASSERT_TRUE(ca.Connect<IListBoxEvents>(static_cast<IControl*>(list.Get()), a.Get()));
    ASSERT_TRUE(cb.Connect<IListBoxEvents>(static_cast<IControl*>(list.Get()), b.Get()));
    a->fail = true;
    EXPECT_THAT([&] { list->UserSelect(1); }, FailsWith(com::err::InvalidCall));
    EXPECT_THAT(b->events, ElementsAre("ListClick 1"));
    a->fail = false;
    a->onEvent = [&] { cb.Reset(); };
    list->UserSelect(0);
    EXPECT_EQ(b->events.size(), 1u);
    ca.Reset();
    EXPECT_EQ(a->AddRef(), 2u);
    a->Release();
}

TEST(ListBox, OnlyTheUsersClickRaisesListClickAndNotOnAHiddenList) {
    auto list = ListBox::Create();
    list->SetName("LST_FIELDS");
    for (const char* text : {"a", "b", "c"}) list->AddItem(text);
    auto sink = com::MakeObject<EventLog>();
    com::EventConnection connection;
    ASSERT_TRUE(connection.Connect<IListBoxEvents>(static_cast<IControl*>(list.Get()), sink.Get()));
    list->SetListIndex(0);
    list->UserSelect(2);
    EXPECT_THAT(sink->events, ElementsAre("ListClick 2"));
    list->SetVisible(false);
    EXPECT_THAT([&] { list->UserSelect(0); },
                FailsWith(testing::_, testing::HasSubstr("LST_FIELDS")));
    EXPECT_EQ(list->ListIndex(), 2);
    EXPECT_EQ(sink->events.size(), 1u);
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
    sink->fail = true;  // a failing handler reaches the user
    EXPECT_THAT([&] { tree->UserDoubleClick(); },
                FailsWith(com::err::InvalidCall, testing::HasSubstr("handler failed")));
}

}  // namespace
}  // namespace ui::test
