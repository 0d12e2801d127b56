// A whole session through the dynamically loaded library, as the desktop host runs it.

#include <gtest/gtest.h>

#include "platform/ui/list_box.h"
#include "tests/host/session_fixture.h"

namespace {

class EndToEnd : public test::SessionTest {};

TEST_F(EndToEnd, AUserSessionFromOpeningToTheInstancesEnd) {
    Open();
    auto& w = Window();

    // A new criterion with two attributes, saved at the end of its type.
    driver_.Press(w, "INTERNAV", "Nuovo");
    driver_.SelectNode(w, "TVW_FIELDS", "FAMI");
    driver_.DoubleClickTree(w, "TVW_FIELDS");
    driver_.SelectNode(w, "TVW_FIELDS", "DEPO");
    driver_.PressToolbar(w, "TBAR_SELECT", 0);
    driver_.Press(w, "INTERNAV", "Conferma");
    EXPECT_EQ(
        Query(
            "SELECT MGA0_FLGRESO, MGA0_INDPRIOR, MGA0_DESCR, MGA0_STRUTTURACAMPI FROM MGA0_QUINTAB "
            "WHERE MGA0_ID NOT IN (40, 41)"),
        "0|3|Famiglia, Deposito (Riga)|FAMIDEPO");
    EXPECT_EQ(Frame()->CurrentRow(), 3);
    EXPECT_FALSE(Frame()->Modified());

    // Moved up once: it exchanges places with "Per articolo".
    driver_.PressToolbar(w, "TBAR_PRIORITY", 0);
    EXPECT_EQ(Query("SELECT MGA0_DESCR FROM MGA0_QUINTAB ORDER BY MGA0_FLGRESO, MGA0_INDPRIOR"),
              "Per cliente;Famiglia, Deposito (Riga);Per articolo");
    EXPECT_EQ(Frame()->CurrentRow(), 2);

    // The user refuses a company change; the window stays.
    driver_.ExpectQuestion(ui::mb::AnswerNo);
    EXPECT_FALSE(session_->ChangeCompany(2));
    driver_.TakeMessage();

    // "Esporta": the host receives the structure and the window closes.
    driver_.Press(w, "INTERNAV", "Esporta");
    ASSERT_EQ(session_->Transfers().size(), 1u);
    EXPECT_EQ(session_->Transfers()[0], com::Variant(com::VariantArray{com::Variant("FAMIDEPO")}));
    EXPECT_FALSE(session_->Window());
    com::Variant closed;
    ASSERT_EQ(Module().CloseForm(&closed), com::S_OK);
    EXPECT_EQ(closed, com::Variant(true));
    EXPECT_FALSE(host::GetRef(&Module(), &host::Cinterface::get_ActiveDll));
    EXPECT_FALSE(host::GetRef(&Module(), &host::Cinterface::get_ActiveFrame));
    EXPECT_FALSE(host::GetRef(&Module(), &host::Cinterface::get_Connection));
    session_->EndModule();

    // One instance serves one window: a new one for the company change the user accepts.
    Open();
    driver_.ExpectQuestion(ui::mb::AnswerYes);
    EXPECT_TRUE(session_->ChangeCompany(2));
    driver_.TakeMessage();
    EXPECT_FALSE(session_->Window());

    // The instance's end releases everything: nothing of the library is left alive.
    session_->EndModule();
    EXPECT_EQ(com::FreeUnusedLibraries(), 1);
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
}

}  // namespace
