// Saving and deleting criteria through the record frame: end-of-type priorities, renumbering,
// reload, and the guard on the counter-account rows.

#include "tests/window/window_fixture.h"

namespace {

using test::Criterion;

class RecordLifecycle : public test::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        AddCriterion(kCompany, {1, 0, 1, "Primo", "CODA"});
        AddCriterion(kCompany, {2, 0, 2, "Secondo", "CODAINDC"});
        AddCriterion(kCompany, {3, 0, 3, "Terzo", "INDC"});
        AddCriterion(kCompany, {4, 1, 1, "Reso", "CODA"});
        AddCriterion(kCompany, {5, 5, 4, "Patrimoniale", "DEPO"});
        AddCriterion(kOtherCompany, {9, 0, 7, "Altra ditta", "CODA"});
    }
};

TEST_P(RecordLifecycle, ASavedChangeIsRenumberedReloadedAndShownAgain) {
    Open();
    SelectLine(3);
    driver_.Type(Window(), "TXT_PRIORITA", "0");
    driver_.Type(Window(), "TXT_DESCR", "Terzo rivisto");
    Press("Conferma");

    // The row kept the priority typed, then types 0 and 1 were renumbered; type 5 and the
    // other company were not.
    EXPECT_EQ(Stored(), (std::vector<Criterion>{
                            {3, 0, 1, "Terzo rivisto", "INDC"},
                            {1, 0, 2, "Primo", "CODA"},
                            {2, 0, 3, "Secondo", "CODAINDC"},
                            {4, 1, 1, "Reso", "CODA"},
                            {5, 5, 4, "Patrimoniale", "DEPO"},
                        }));
    EXPECT_EQ(Stored(kOtherCompany)[0].priority, 7);

    EXPECT_EQ(GridLines(), (std::vector<std::vector<std::string>>{
                               {"1", "Ven/Acq", "Terzo rivisto"},
                               {"2", "Ven/Acq", "Primo"},
                               {"3", "Ven/Acq", "Secondo"},
                               {"1", "Reso", "Reso"},
                               {"4", "Rim.Patrim.", "Patrimoniale"},
                           }));
    // The frame stands on the saved row again, clean.
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 1);
    EXPECT_FALSE(Frame()->Modified());
    EXPECT_EQ(Text("TXT_DESCR"), "Terzo rivisto");
    EXPECT_EQ(Text("TXT_PRIORITA"), "1");
    EXPECT_EQ(ListTexts(), std::vector<std::string>{"Cliente"});
}

// Two users edit the same criterion, each in a window of their own on their own connection: the
// second save is refused and keeps its edit on screen; the database holds the first one's value.
TEST_P(RecordLifecycle, TheSecondOfTwoUsersSavingOneCriterionIsRefusedAndKeepsItsEdit) {
    Open();
    framework::HostSession other(session_->ConnectionString());
    other.ChooseCompany(kCompany);
    other.CreateModule();
    other.ShowForm();
    auto theirs = other.Window();
    driver_.Type(*theirs, "TXT_DESCR", "Primo, per zona");
    driver_.Press(*theirs, "INTERNAV", "Conferma");
    ASSERT_EQ(driver_.UntakenMessages(), 0u);

    driver_.Activate(Window());
    driver_.Type(Window(), "TXT_DESCR", "Primo, per area");
    Press("Conferma");
    const auto& refused = driver_.TakeMessage();
    EXPECT_EQ(refused.text.rfind("Un altro utente ha modificato", 0), 0u) << refused.text;
    EXPECT_EQ(Text("TXT_DESCR"), "Primo, per area");
    EXPECT_TRUE(Frame()->Modified());
    EXPECT_EQ(Stored()[0], (Criterion{1, 0, 1, "Primo, per zona", "CODA"}));
}

TEST_P(RecordLifecycle, ARowMovedToAnotherTypeGoesToItsEnd) {
    Open();
    SelectLine(1);
    driver_.Choose(Window(), "CBO_TIPO", com::Variant(1));
    Press("Conferma");

    EXPECT_EQ(Stored(), (std::vector<Criterion>{
                            {2, 0, 1, "Secondo", "CODAINDC"},
                            {3, 0, 2, "Terzo", "INDC"},
                            {4, 1, 1, "Reso", "CODA"},
                            {1, 1, 2, "Primo", "CODA"},
                            {5, 5, 4, "Patrimoniale", "DEPO"},
                        }));
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 4);
}

TEST_P(RecordLifecycle, ANewCriterionStartsAtTheEndOfType0AndIsSavedAtTheEndOfItsType) {
    Open();
    Press("Nuovo");
    EXPECT_EQ(Window().FocusedControl(), "TXT_DESCR");
    EXPECT_EQ(Text("TXT_PRIORITA"), "4");
    EXPECT_TRUE(ListTexts().empty());

    AddByDoubleClick("INDC");
    AddByDoubleClick("CODA");
    EXPECT_EQ(Text("TXT_STRUT"), "INDCCODA");
    EXPECT_EQ(Text("TXT_DESCR"), "Cliente, Codice articolo");
    driver_.Choose(Window(), "CBO_TIPO", com::Variant(5));
    Press("Conferma");

    // Type 5 holds one criterion (with priority 4): the new one gets the count plus one, and
    // the type is numbered 1..n.
    auto rows = Stored();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[4].priority, 1);
    EXPECT_EQ(rows[5], (Criterion{rows[5].id, 5, 2, "Cliente, Codice articolo", "INDCCODA"}));
    EXPECT_GT(rows[5].id, 5);
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 6);
    EXPECT_EQ(Frame()->Status(), host::frame_status::Existing);
}

TEST_P(RecordLifecycle, ACriterionWithoutFieldsIsNotSaved) {
    Open();
    Press("Nuovo");
    driver_.Type(Window(), "TXT_DESCR", "Senza campi");
    Press("Conferma");

    EXPECT_EQ(driver_.TakeMessage().text, "Obbligatorio scegliere un campo !!");
    EXPECT_EQ(Window().FocusedControl(), "TVW_FIELDS");
    EXPECT_EQ(Stored().size(), 5u);
    EXPECT_EQ(Frame()->Status(), host::frame_status::New);
}

TEST_P(RecordLifecycle, DeletingACriterionWithMatrixRowsAsksFirst) {
    AddMatrixRows(kCompany, 2, 2);
    AddMatrixRows(kCompany, 3, 1);
    AddMatrixRows(kOtherCompany, 2, 1);
    Open();
    SelectLine(2);

    const char* question = "Eliminare tutti i conti collagati con questo criterio?";
    driver_.ExpectQuestion(ui::mb::AnswerNo, question);
    Press("Elimina");
    const auto& refused = driver_.TakeMessage();
    EXPECT_EQ(refused.flags, 292);
    EXPECT_EQ(refused.title, "Elimina riga");
    EXPECT_EQ(Stored().size(), 5u);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM MGA1_MATRCPAR"), 4);
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 2);

    driver_.ExpectQuestion(ui::mb::AnswerYes, question);
    Press("Elimina");
    EXPECT_EQ(driver_.TakeMessage().answer, ui::mb::AnswerYes);
    // The criterion and its rows in this company are gone; type 0 is dense again.
    EXPECT_EQ(Stored(), (std::vector<Criterion>{
                            {1, 0, 1, "Primo", "CODA"},
                            {3, 0, 2, "Terzo", "INDC"},
                            {4, 1, 1, "Reso", "CODA"},
                            {5, 5, 4, "Patrimoniale", "DEPO"},
                        }));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM MGA1_MATRCPAR WHERE MGA1_ID_MGA0 = 2 "
                    "AND MGA1_DITTA_CG18 = 1"),
              0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM MGA1_MATRCPAR"), 2);
    EXPECT_EQ(GridLines().size(), 4u);
    EXPECT_EQ(Text("TXT_DESCR"), "Terzo");
    EXPECT_FALSE(Frame()->Modified());
}

TEST_P(RecordLifecycle, DeletingTheLastCriterionWithoutMatrixRowsAsksNothing) {
    Open();
    SelectLine(5);
    Press("Elimina");
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
    EXPECT_EQ(Stored().size(), 4u);
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 4);
}

TEST_P(RecordLifecycle, ADeleteThatLeavesNoTypeShownStillReloadsWithoutAnError) {
    // Company 2 is not offered type 6: when its row becomes current the combo shows no type.
    AddCriterion(kOtherCompany, {10, 0, 8, "Secondo", "CODA"});
    AddCriterion(kOtherCompany, {11, 6, 1, "Magazzino", "CODA"});
    Open(kOtherCompany);
    SelectLine(2);
    Press("Elimina");
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
    EXPECT_EQ(GridLines(), (std::vector<std::vector<std::string>>{
                               {"1", "Ven/Acq", "Altra ditta"},
                               {"1", "Magazzino", "Magazzino"},
                           }));
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 2);

    // Deleting every criterion leaves an empty list, not an error.
    Press("Elimina");
    SelectLine(1);
    Press("Elimina");
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
    EXPECT_TRUE(Stored(kOtherCompany).empty());
    EXPECT_TRUE(GridLines().empty());
    EXPECT_EQ(Frame()->Status(), host::frame_status::Empty);
}

DRAVEL_ON_EACH_BACKEND(RecordLifecycle);

}  // namespace
