// What the editor shows beside its texts: the tree's styling, bold nodes for the attributes
// listed, the list's selection, the navigation bar's pending changes and where the focus goes.

#include "tests/support/window_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class EditorState : public test::WindowTest {
  protected:
    // The keys of the attribute nodes shown bold, in tree order.
    std::vector<std::string> BoldAttributes() {
        std::vector<std::string> keys;
        for (int32_t i = 1; i <= Tree().Count(); ++i)
            if (Tree().Node(i).parent && Tree().Node(i).bold) keys.push_back(Tree().Node(i).key);
        return keys;
    }
};

TEST_P(EditorState, FollowsTheRowsAndTheUsersChanges) {
    Add("(1, 1, 0, 1, 'Due', 'CODAINDC'), (2, 1, 0, 2, 'Solo', 'DOCU')");
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
    SelectLine(2);
    EXPECT_THAT(BoldAttributes(), ElementsAre("DOCU"));

    Press("Nuovo");
    EXPECT_EQ(m_.Window().FocusedControl(), "TXT_DESCR");
    EXPECT_THAT(BoldAttributes(), IsEmpty());
    // A chain comes in bold with its last level selected; the bar shows the pending change.
    AddByDoubleClick("STCC");
    EXPECT_THAT(BoldAttributes(), ElementsAre("MACC", "CATC", "STCC"));
    EXPECT_EQ(List().ListIndex(), 2);
    EXPECT_TRUE(m_.Control<host::INavBar>("INTERNAV")->ChangesPending());
    // A reorder selects the entry moved; a removal unmarks and selects the first entry.
    PressToolbar("TBAR_FIELDS", 0);
    EXPECT_EQ(List().ListIndex(), 1);
    driver_.SelectListEntry(m_.Window(), "LST_FIELDS", 2);
    PressToolbar("TBAR_SELECT", 1);
    EXPECT_THAT(BoldAttributes(), ElementsAre("MACC"));
    EXPECT_EQ(List().ListIndex(), 0);
    PressToolbar("TBAR_SELECT", 1);
    EXPECT_EQ(List().ListIndex(), -1);

    // The structure field hands the focus to the tree; so does a save refused for want of fields.
    m_.Control<ui::ITextInput>("TXT_DESCR")->UserFocus();
    m_.Control<ui::ITextInput>("TXT_STRUT")->UserFocus();
    EXPECT_EQ(m_.Window().FocusedControl(), "TVW_FIELDS");
    m_.Control<ui::ITextInput>("TXT_DESCR")->UserFocus();
    Press("Conferma");
    EXPECT_EQ(driver_.TakeMessage().text, "Obbligatorio scegliere un campo !!");
    EXPECT_EQ(m_.Window().FocusedControl(), "TVW_FIELDS");
}

INSTANTIATE_TEST_SUITE_P(, EditorState, ::testing::Values(testing_support::Backend::Sqlite),
                         testing_support::BackendName);

}  // namespace
