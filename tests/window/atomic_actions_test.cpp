// A user action happens completely or not at all: a failure at any of its statements leaves the
// database as it was and the user's edit on screen, to try again.

#include "tests/window/window_fixture.h"

namespace {

using test::Criterion;

constexpr const char* kRefused =
    "L'operazione viola un vincolo del database e non è stata eseguita.";

class AtomicActions : public test::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        AddCriterion(kCompany, {1, 0, 1, "Primo", "CODA"});
        AddCriterion(kCompany, {2, 0, 2, "Secondo", "INDC"});
        AddCriterion(kCompany, {3, 0, 3, "Rifiutato", "CODA"});
        AddCriterion(kCompany, {4, 1, 1, "Reso", "CODA"});
    }
    // The database refuses to change the priority of a criterion described "Rifiutato": the
    // renumbering of its type fails after the row was written.
    void RefusePriorityChanges() {
        if (GetParam() == testing_support::Backend::Sqlite) {
            Exec(
                "CREATE TRIGGER RIFIUTA BEFORE UPDATE OF MGA0_INDPRIOR ON MGA0_QUINTAB "
                "WHEN NEW.MGA0_DESCR = 'Rifiutato' BEGIN SELECT RAISE(ABORT, 'rifiutato'); END");
            return;
        }
        Exec(
            "CREATE FUNCTION RIFIUTA() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
            "RAISE EXCEPTION 'rifiutato' USING ERRCODE = 'check_violation'; END $$");
        Exec(
            "CREATE TRIGGER RIFIUTA BEFORE UPDATE OF MGA0_INDPRIOR ON MGA0_QUINTAB FOR EACH ROW "
            "WHEN (NEW.MGA0_DESCR = 'Rifiutato') EXECUTE FUNCTION RIFIUTA()");
    }
    void AcceptPriorityChanges() {
        Exec(GetParam() == testing_support::Backend::Sqlite
                 ? "DROP TRIGGER RIFIUTA"
                 : "DROP TRIGGER RIFIUTA ON MGA0_QUINTAB");
    }
};

TEST_P(AtomicActions, ASaveWhoseRenumberingFailsWritesNothingAndKeepsTheEdit) {
    RefusePriorityChanges();
    const auto before = Stored();
    Open();
    SelectLine(1);
    driver_.Choose(Window(), "CBO_TIPO", com::Variant(1));
    driver_.Type(Window(), "TXT_DESCR", "Primo rivisto");
    Exec("UPDATE MGA0_QUINTAB SET MGA0_STRUTTURACAMPI = 'FAMI' WHERE MGA0_ID = 1");  // another user
    Press("Conferma");

    EXPECT_EQ(driver_.TakeMessage().text, kRefused);
    // What the user does not read goes to the log: the database's message and the statement.
    const auto detail = LogRecords().back().value("detail", "");
    EXPECT_NE(detail.find("rifiutato"), std::string::npos) << detail;
    EXPECT_NE(detail.find("Statement: UPDATE MGA0_QUINTAB"), std::string::npos) << detail;
    auto changedElsewhere = before;
    changedElsewhere[0].structure = "FAMI";
    EXPECT_EQ(Stored(), changedElsewhere);
    EXPECT_TRUE(Frame()->Modified());
    EXPECT_EQ(Text("TXT_DESCR"), "Primo rivisto");
    auto combo = Control<ui::IChoiceInput>("CBO_TIPO");
    EXPECT_EQ(combo->Labels()[combo->SelectedIndex()], "Documenti Resi");

    AcceptPriorityChanges();
    Press("Conferma");
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
    EXPECT_EQ(Stored(), (std::vector<Criterion>{
                            {2, 0, 1, "Secondo", "INDC"},
                            {3, 0, 2, "Rifiutato", "CODA"},
                            {4, 1, 1, "Reso", "CODA"},
                            {1, 1, 2, "Primo rivisto", "FAMI"},
                        }));
}

TEST_P(AtomicActions, ANewCriterionWhoseSaveFailsStaysNewAndIsSavedOnceOnRetry) {
    RefusePriorityChanges();
    Open();
    Press("Nuovo");
    AddByDoubleClick("INDC");
    driver_.Type(Window(), "TXT_DESCR", "Rifiutato");
    Press("Conferma");

    EXPECT_EQ(driver_.TakeMessage().text, kRefused);
    EXPECT_EQ(Stored().size(), 4u);
    EXPECT_EQ(Frame()->Status(), host::frame_status::New);
    EXPECT_EQ(Text("TXT_DESCR"), "Rifiutato");
    EXPECT_EQ(ListTexts(), std::vector<std::string>{"Cliente"});

    AcceptPriorityChanges();
    Press("Conferma");
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM MGA0_QUINTAB WHERE MGA0_DESCR = 'Rifiutato' AND "
                    "MGA0_STRUTTURACAMPI = 'INDC' AND MGA0_INDPRIOR = 4"),
              1);
}

TEST_P(AtomicActions, ADeleteWhoseRenumberingFailsDeletesNothing) {
    RefusePriorityChanges();
    const auto before = Stored();
    Open();
    Press("Elimina");

    EXPECT_EQ(driver_.TakeMessage().text, kRefused);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(GridLines().size(), 4u);
    EXPECT_EQ(Text("TXT_DESCR"), "Primo");
}

// The counter-account rows go only with their criterion: when another table still refers to the
// criterion, both stay.
TEST_P(AtomicActions, ADeleteTheDatabaseRefusesKeepsTheCounterAccountRows) {
    Exec("CREATE TABLE USI (ID INTEGER PRIMARY KEY, CRITERIO INTEGER REFERENCES MGA0_QUINTAB)");
    Exec("INSERT INTO USI (ID, CRITERIO) VALUES (1, 2)");
    AddMatrixRows(kCompany, 2, 2);
    const auto before = Stored();
    Open();
    SelectLine(2);
    driver_.ExpectQuestion(ui::mb::AnswerYes);
    Press("Elimina");

    EXPECT_EQ(driver_.TakeMessage().answer, ui::mb::AnswerYes);
    EXPECT_EQ(driver_.TakeMessage().text, kRefused);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM MGA1_MATRCPAR WHERE MGA1_ID_MGA0 = 2"), 2);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(GridLines().size(), 4u);
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 2);
    EXPECT_EQ(Text("TXT_DESCR"), "Secondo");
}

DRAVEL_ON_EACH_BACKEND(AtomicActions);

}  // namespace
