// The priority toolbar: moves within a posting type, refusals at its edges.

#include "tests/window/window_fixture.h"

namespace {

using test::Criterion;

class Priorities : public test::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        AddCriterion(kCompany, {1, 0, 1, "Primo", "CODA"});
        AddCriterion(kCompany, {2, 0, 2, "Secondo", "INDC"});
        AddCriterion(kCompany, {3, 0, 5, "Terzo", "DOCU"});
        AddCriterion(kCompany, {4, 1, 1, "Reso", "CODA"});
    }
    static constexpr int16_t kUp = 0;
    static constexpr int16_t kDown = 1;
};

TEST_P(Priorities, AMoveAcrossATypeBoundaryOnlyBeeps) {
    Open();
    auto before = Stored();

    SelectLine(3);  // the last of type 0
    PressToolbar("TBAR_PRIORITY", kDown);
    SelectLine(4);  // the first of type 1
    PressToolbar("TBAR_PRIORITY", kUp);
    EXPECT_EQ(driver_.Beeps(), 2);

    // The ends of the whole list are no move at all, and not even a beep.
    PressToolbar("TBAR_PRIORITY", kDown);
    SelectLine(1);
    PressToolbar("TBAR_PRIORITY", kUp);
    EXPECT_EQ(driver_.Beeps(), 2);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 1);
}

TEST_P(Priorities, AMoveWithinATypeExchangesPlacesAndFollowsTheCriterion) {
    Open();
    SelectLine(1);
    PressToolbar("TBAR_PRIORITY", kDown);

    EXPECT_EQ(Stored(), (std::vector<Criterion>{
                            {2, 0, 1, "Secondo", "INDC"},
                            {1, 0, 2, "Primo", "CODA"},
                            {3, 0, 5, "Terzo", "DOCU"},
                            {4, 1, 1, "Reso", "CODA"},
                        }));
    EXPECT_EQ(GridLines()[0], (std::vector<std::string>{"1", "Ven/Acq", "Secondo"}));
    EXPECT_EQ(GridLines()[1], (std::vector<std::string>{"2", "Ven/Acq", "Primo"}));
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 2);
    EXPECT_EQ(Text("TXT_DESCR"), "Primo");
    EXPECT_EQ(ListTexts(), std::vector<std::string>{"Codice articolo"});

    // With a gap the numbers close up and the order stays: the frame ends on the neighbour.
    PressToolbar("TBAR_PRIORITY", kDown);
    EXPECT_EQ(Stored()[1], (Criterion{1, 0, 3, "Primo", "CODA"}));
    EXPECT_EQ(Stored()[2], (Criterion{3, 0, 4, "Terzo", "DOCU"}));
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 3);
    EXPECT_EQ(driver_.Beeps(), 0);
}

TEST_P(Priorities, APendingEditIsSavedBeforeTheMove) {
    Open();
    SelectLine(2);
    driver_.Type(Window(), "TXT_DESCR", "Secondo rivisto");
    PressToolbar("TBAR_PRIORITY", kUp);

    EXPECT_EQ(Stored()[0], (Criterion{2, 0, 1, "Secondo rivisto", "INDC"}));
    EXPECT_EQ(Stored()[1], (Criterion{1, 0, 2, "Primo", "CODA"}));
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 1);
}

TEST_P(Priorities, NothingMovesWhileANewRowIsAdded) {
    Open();
    auto before = Stored();
    Press("Nuovo");
    PressToolbar("TBAR_PRIORITY", kUp);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(Frame()->Status(), host::frame_status::New);
}

TEST_P(Priorities, AnEditTheFrameRefusesToSaveStaysAndNothingMoves) {
    Open();
    auto before = Stored();
    SelectLine(2);
    driver_.Type(Window(), "TXT_DESCR", "");
    PressToolbar("TBAR_PRIORITY", kUp);

    // The frame's refusal, once; the row stays as the user left it.
    ASSERT_EQ(driver_.UntakenMessages(), 1u);
    EXPECT_EQ(driver_.TakeMessage().text,
              "Campo obbligatorio: Descrizione contropartite contabili");
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 2);
    EXPECT_EQ(Text("TXT_DESCR"), "");
    EXPECT_TRUE(Frame()->Modified());
}

}  // namespace

namespace {

TEST_P(Priorities, AMoveThatConflictsWithAnotherUserChangesNothingAndTheWindowGoesOn) {
    Open();
    SelectLine(1);
    Exec("UPDATE MGA0_QUINTAB SET MGA0_INDPRIOR = 7 WHERE MGA0_ID = 2");  // another user, meanwhile
    PressToolbar("TBAR_PRIORITY", kDown);

    const auto& shown = driver_.TakeMessage();
    EXPECT_EQ(shown.flags, 16);
    EXPECT_EQ(shown.text.rfind("Un altro utente ha modificato", 0), 0u) << shown.text;
    EXPECT_EQ(Stored(), (std::vector<Criterion>{{1, 0, 1, "Primo", "CODA"},
                                                {3, 0, 5, "Terzo", "DOCU"},
                                                {2, 0, 7, "Secondo", "INDC"},
                                                {4, 1, 1, "Reso", "CODA"}}));

    // The window still follows the user, and a later save sends nothing of the failed move.
    SelectLine(2);
    EXPECT_EQ(Control<ui::ITextInput>("TXT_DESCR")->DisplayText(), "Secondo");
    driver_.Type(Window(), "TXT_DESCR", "Secondo criterio");
    Press("Conferma");
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
    EXPECT_EQ(Stored(), (std::vector<Criterion>{{1, 0, 1, "Primo", "CODA"},
                                                {3, 0, 2, "Terzo", "DOCU"},
                                                {2, 0, 3, "Secondo criterio", "INDC"},
                                                {4, 1, 1, "Reso", "CODA"}}));
}

// The exchange matches the two priorities only: a neighbour another user gave another type,
// where its priority happens to be the same, must not take this type's number there.
TEST_P(Priorities, AMoveIsRefusedWhenAnotherUserGaveTheNeighbourAnotherType) {
    Open();
    SelectLine(1);
    Exec("UPDATE MGA0_QUINTAB SET MGA0_FLGRESO = 1 WHERE MGA0_ID = 2");  // another user, meanwhile
    const auto before = Stored();
    PressToolbar("TBAR_PRIORITY", kDown);

    EXPECT_EQ(driver_.TakeMessage().text.rfind("Un altro utente ha modificato", 0), 0u);
    EXPECT_EQ(Stored(), before);
}

// The list read again after the move holds the other users' changes: the frame stays on the
// criterion moved, wherever it now is.
TEST_P(Priorities, AMoveFollowsTheCriterionWhenAnotherUserDeletedARowAboveIt) {
    Exec("UPDATE MGA0_QUINTAB SET MGA0_INDPRIOR = 3 WHERE MGA0_ID = 3");
    Open();
    Exec("DELETE FROM MGA0_QUINTAB WHERE MGA0_ID = 1");  // another user, meanwhile
    SelectLine(2);
    PressToolbar("TBAR_PRIORITY", kDown);

    EXPECT_EQ(driver_.UntakenMessages(), 0u);
    EXPECT_EQ(Stored()[1], (Criterion{2, 0, 3, "Secondo", "INDC"}));
    EXPECT_EQ(Control<ui::ILineView>("QGRID")->CurrentLine(), 2);
    EXPECT_EQ(Text("TXT_DESCR"), "Secondo");
}

DRAVEL_ON_EACH_BACKEND(Priorities);

}  // namespace
