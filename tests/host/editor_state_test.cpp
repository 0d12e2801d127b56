// What the editor shows beside its texts: the tree's styling, bold nodes for the attributes
// listed, the list's selection, the navigation bar's pending changes and where the focus goes.

#include <gmock/gmock.h>

#include "platform/ui/list_box.h"
#include "platform/ui/tree_view.h"
#include "tests/support/module_session.h"

namespace {

using ::testing::ElementsAre;

class EditorState : public ::testing::Test {
  protected:
    ui::TreeView& Tree() {
        return *static_cast<ui::TreeView*>(m_.Control<ui::ITreeView>("TVW_FIELDS").Get());
    }
    int32_t ListIndex() {
        return static_cast<ui::ListBox*>(m_.Control<ui::IListBox>("LST_FIELDS").Get())->ListIndex();
    }
    // The keys of the attribute nodes shown bold, in tree order.
    std::vector<std::string> BoldAttributes() {
        std::vector<std::string> keys;
        for (int32_t i = 1; i <= Tree().Count(); ++i)
            if (Tree().Node(i).parent && Tree().Node(i).bold) keys.push_back(Tree().Node(i).key);
        return keys;
    }
    void Press(const std::string& key) { user_.driver.Press(m_.Window(), "INTERNAV", key); }
    void PressToolbar(const std::string& name, int16_t index) {
        user_.driver.PressToolbar(m_.Window(), name, index);
    }

    testing_support::HeadlessUser user_;
    testing_support::ModuleSession m_;
};

TEST_F(EditorState, FollowsTheRowsAndTheUsersChanges) {
    m_.Sql(
        "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
        "MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES (1, 1, 0, 1, 'Due', 'CODAINDC'), "
        "(2, 1, 0, 2, 'Solo', 'DOCU')");
    m_.Open();
    // The catalogue's groups expanded, bold and grey; the first node in view.
    ASSERT_EQ(Tree().Count(), 57);
    for (int32_t i = 1; i <= Tree().Count(); ++i) {
        const auto& node = Tree().Node(i);
        if (node.parent) continue;
        EXPECT_TRUE(node.bold && node.expanded) << node.key;
        EXPECT_EQ(node.foreColor, ui::Rgb(132, 132, 132)) << node.key;
    }
    EXPECT_EQ(Tree().FirstVisible(), 1);
    EXPECT_THAT(BoldAttributes(), ElementsAre("CODA", "INDC"));
    // Another row marks its own attributes only.
    user_.driver.SelectLine(m_.Window(), "QGRID", 2);
    EXPECT_THAT(BoldAttributes(), ElementsAre("DOCU"));

    Press("Nuovo");
    EXPECT_EQ(m_.Window().FocusedControl(), "TXT_DESCR");
    EXPECT_THAT(BoldAttributes(), ::testing::IsEmpty());
    // A chain comes in bold with its last level selected; the bar shows the pending change.
    user_.driver.SelectNode(m_.Window(), "TVW_FIELDS", "STCC");
    user_.driver.DoubleClickTree(m_.Window(), "TVW_FIELDS");
    EXPECT_THAT(BoldAttributes(), ElementsAre("MACC", "CATC", "STCC"));
    EXPECT_EQ(ListIndex(), 2);
    EXPECT_TRUE(m_.Control<host::INavBar>("INTERNAV")->ChangesPending());
    // A reorder selects the entry moved; a removal unmarks and selects the first entry.
    PressToolbar("TBAR_FIELDS", 0);
    EXPECT_EQ(ListIndex(), 1);
    user_.driver.SelectListEntry(m_.Window(), "LST_FIELDS", 2);
    PressToolbar("TBAR_SELECT", 1);
    EXPECT_THAT(BoldAttributes(), ElementsAre("MACC"));
    EXPECT_EQ(ListIndex(), 0);
    PressToolbar("TBAR_SELECT", 1);
    EXPECT_EQ(ListIndex(), -1);

    // The structure field hands the focus to the tree; so does a save refused for want of fields.
    m_.Control<ui::ITextInput>("TXT_DESCR")->UserFocus();
    m_.Control<ui::ITextInput>("TXT_STRUT")->UserFocus();
    EXPECT_EQ(m_.Window().FocusedControl(), "TVW_FIELDS");
    m_.Control<ui::ITextInput>("TXT_DESCR")->UserFocus();
    Press("Conferma");
    EXPECT_EQ(user_.driver.TakeMessage().text, "Obbligatorio scegliere un campo !!");
    EXPECT_EQ(m_.Window().FocusedControl(), "TVW_FIELDS");
}

}  // namespace
