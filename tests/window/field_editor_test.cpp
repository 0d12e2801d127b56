// The attribute catalogue and the editor's list: reordering and what a stored structure loads.

#include "tests/window/window_fixture.h"

namespace {

class FieldEditor : public test::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        AddCriterion(kCompany, {1, 0, 1, "Due campi", "CODAINDC"});
        AddCriterion(kCompany, {2, 0, 2, "Uno sconosciuto", "XXXXCODAIND"});
        AddCriterion(kCompany, {3, 0, 3, "Solo", "DOCU"});
    }
};

TEST(AttributeCatalogue, HoldsTheLinesFrom101To157AndNothingElse) {
    EXPECT_EQ(dravel::LoadResString(101), "\\ART\\Dati Articoli");
    EXPECT_EQ(dravel::LoadResString(102), "\\ART\\CODA\\Codice articolo");
    EXPECT_EQ(dravel::LoadResString(143), "\\DOC\\Dati documento");
    EXPECT_EQ(dravel::LoadResString(157), "\\DOC\\CAUP\\Causale prest. prof.");
    for (int32_t id : {100, 158}) {
        try {
            dravel::LoadResString(id);
            ADD_FAILURE() << id;
        } catch (const com::ComError& e) {
            EXPECT_EQ(e.Number(), 326);
            EXPECT_EQ(e.Description(),
                      "Resource with identifier " + std::to_string(id) + " not found");
        }
    }
}

TEST_P(FieldEditor, ReorderingRewritesTheStructureAndMarksTheRow) {
    Open();
    driver_.SelectListEntry(Window(), "LST_FIELDS", 1);
    PressToolbar("TBAR_FIELDS", 0);
    EXPECT_EQ(ListTexts(), (std::vector<std::string>{"Cliente", "Codice articolo"}));
    EXPECT_EQ(List().ItemData(0), 12);
    EXPECT_EQ(List().ListIndex(), 0);
    EXPECT_EQ(Text("TXT_STRUT"), "INDCCODA");
    EXPECT_TRUE(Frame()->Modified());

    // At the top nothing moves; the structure is written again as it is.
    PressToolbar("TBAR_FIELDS", 0);
    EXPECT_EQ(Text("TXT_STRUT"), "INDCCODA");
    PressToolbar("TBAR_FIELDS", 1);
    EXPECT_EQ(Text("TXT_STRUT"), "CODAINDC");
    EXPECT_EQ(List().ListIndex(), 1);

    Press("Conferma");
    EXPECT_EQ(Stored()[0].structure, "CODAINDC");
    EXPECT_FALSE(Frame()->Modified());
}

TEST_P(FieldEditor, ASingleEntryCannotMove) {
    Open();
    SelectLine(3);
    driver_.SelectListEntry(Window(), "LST_FIELDS", 0);
    PressToolbar("TBAR_FIELDS", 1);
    PressToolbar("TBAR_FIELDS", 0);
    EXPECT_EQ(Text("TXT_STRUT"), "DOCU");
    EXPECT_FALSE(Frame()->Modified());
}

TEST_P(FieldEditor, AStoredStructureLoadsTheCodesThatMatchInOrder) {
    Open();
    SelectLine(2);
    // Unknown codes are skipped; a short last piece is still looked up (and matches nothing).
    EXPECT_EQ(ListTexts(), std::vector<std::string>{"Codice articolo"});
    EXPECT_FALSE(Tree().Find("INDC")->bold);
    // Moving on clears what the previous row had marked.
    SelectLine(1);
    EXPECT_EQ(ListTexts(), (std::vector<std::string>{"Codice articolo", "Cliente"}));
    SelectLine(3);
    EXPECT_FALSE(Tree().Find("CODA")->bold);
    EXPECT_TRUE(Tree().Find("DOCU")->bold);
}

TEST_P(FieldEditor, TheStructureFieldHandsTheFocusToTheTree) {
    Open();
    Control<ui::ITextInput>("TXT_STRUT")->UserFocus();
    EXPECT_EQ(Window().FocusedControl(), "TVW_FIELDS");
}

DRAVEL_ON_EACH_BACKEND(FieldEditor);

}  // namespace
