#include <gtest/gtest.h>

#include "tests/ui/test_window.h"

namespace ui::test {
namespace {

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

TEST(TreeView, NodesKeepCreationOrderAndHangUnderTheirRelative) {
    auto tree = SampleTree();
    ASSERT_EQ(tree->Count(), 5);
    std::vector<std::string> keys;
    for (int32_t i = 1; i <= tree->Count(); ++i) {
        EXPECT_EQ(tree->Node(i).index, i);
        keys.push_back(tree->Node(i).key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"ART", "CODA", "CLI", "TPPD", "INDC"}));
    TreeNode& art = *tree->Find("ART");
    EXPECT_EQ(art.parent, nullptr);
    ASSERT_EQ(art.Children(), 2);
    EXPECT_EQ(art.children[1]->key, "TPPD");  // appended as the last child
    EXPECT_EQ(tree->Find("INDC")->parent, tree->Find("CLI"));
    EXPECT_EQ(tree->Find("XXXX"), nullptr);
}

TEST(TreeView, BadAddsAndIndicesFailWithTheirNumbersAndChangeNothing) {
    auto tree = SampleTree();
    EXPECT_EQ(ErrorOf([&] { tree->Add("", "CODA", "again"); }).Number(), 35602);
    EXPECT_EQ(ErrorOf([&] { tree->Add("NONE", "NEW1", "orphan"); }).Number(), 35601);
    EXPECT_EQ(tree->Count(), 5);
    EXPECT_EQ(tree->Find("NEW1"), nullptr);
    EXPECT_EQ(ErrorOf([&] { tree->Node(0); }).Number(), 35600);
    EXPECT_EQ(ErrorOf([&] { tree->Node(6); }).Number(), 35600);
    auto other = SampleTree();
    EXPECT_EQ(ErrorOf([&] { tree->SetBold(other->Node(1), true); }).Number(), 35601);
}

TEST(TreeView, StylingNotifiesObserversOnlyOnChange) {
    auto tree = SampleTree();
    int changes = 0;
    int id = tree->AddObserver([&] { ++changes; });
    TreeNode& art = tree->Node(1);
    tree->SetBold(art, true);
    tree->SetExpanded(art, true);
    tree->SetForeColor(art, Rgb(132, 132, 132));
    EXPECT_EQ(changes, 3);
    tree->SetBold(art, true);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(art.bold);
    EXPECT_TRUE(art.expanded);
    EXPECT_EQ(art.foreColor, 0x848484u);
    EXPECT_EQ(Rgb(1, 2, 3), 0x030201u);
    tree->RemoveObserver(id);
    tree->SetBold(art, false);
    EXPECT_EQ(changes, 3);
}

TEST(TreeView, EnsureVisibleScrollsToTheNodeAndOpensItsGroup) {
    auto tree = SampleTree();
    tree->EnsureVisible(*tree->Find("INDC"));
    EXPECT_EQ(tree->FirstVisible(), 5);
    EXPECT_TRUE(tree->Find("CLI")->expanded);
    EXPECT_FALSE(tree->Find("ART")->expanded);
}

TEST(TreeView, SelectionByCodeRaisesNothingAndTheUserRaisesTheEvents) {
    auto tree = SampleTree();
    auto sink = EventLog::Create();
    com::EventConnection connection;
    ASSERT_TRUE(
        connection.Connect<ITreeViewEvents>(static_cast<IControl*>(tree.Get()), sink.Get()));

    tree->Select(tree->Find("CODA"));
    EXPECT_EQ(tree->SelectedItem()->key, "CODA");
    EXPECT_TRUE(sink->events.empty());

    tree->UserSelect("INDC");
    tree->UserDoubleClick();
    EXPECT_EQ(tree->SelectedItem()->key, "INDC");
    EXPECT_EQ(sink->events, (std::vector<std::string>{"NodeClick INDC", "DblClick TVW_FIELDS"}));

    EXPECT_EQ(ErrorOf([&] { tree->UserSelect("NONE"); }).Number(), 35601);
    EXPECT_EQ(tree->SelectedItem()->key, "INDC");

    tree->Select(nullptr);
    EXPECT_EQ(tree->SelectedItem(), nullptr);

    connection.Reset();
    tree->UserDoubleClick();
    EXPECT_EQ(sink->events.size(), 2u);
}

TEST(TreeView, ADisabledTreeRefusesTheUserAndAFailingHandlerReachesTheUser) {
    auto tree = SampleTree();
    auto sink = EventLog::Create();
    com::EventConnection connection;
    connection.Connect<ITreeViewEvents>(static_cast<IControl*>(tree.Get()), sink.Get());

    tree->SetEnabled(false);
    EXPECT_EQ(ErrorOf([&] { tree->UserSelect("CODA"); }).Number(), com::err::InvalidCall);
    EXPECT_EQ(tree->SelectedItem(), nullptr);
    EXPECT_TRUE(sink->events.empty());

    tree->SetEnabled(true);
    sink->fail = true;
    EXPECT_TRUE(
        Contains(ErrorOf([&] { tree->UserDoubleClick(); }).Description(), "handler failed"));
}

TEST(TreeView, ClearForgetsNodesAndSelection) {
    auto tree = SampleTree();
    tree->Select(tree->Find("CLI"));
    tree->EnsureVisible(tree->Node(1));
    tree->Clear();
    EXPECT_EQ(tree->Count(), 0);
    EXPECT_EQ(tree->SelectedItem(), nullptr);
    EXPECT_EQ(tree->FirstVisible(), 0);
    tree->Add("", "ART", "Dati Articoli");  // keys are free again
    EXPECT_EQ(tree->Node(1).index, 1);
}

}  // namespace
}  // namespace ui::test
