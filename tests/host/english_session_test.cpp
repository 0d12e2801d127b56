// The English session as the user sees it: every text in English but the data. The program
// runs in the C locale (it never calls setlocale), as on a machine where no locale has been
// generated.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/host/session_fixture.h"

namespace {

using testing::ElementsAre;

class EnglishSession : public test::SessionTest {};

TEST_F(EnglishSession, ShowsEveryTextInEnglishButTheData) {
    session_->Global().Texts().SetLanguage("en");
    Open();
    auto& w = Window();
    auto caption = [&](const char* label) {
        return w.Control(label).As<ui::ICaptioned>()->DisplayCaption();
    };
    EXPECT_EQ(caption("LBL_TIPO"), "Document type");
    EXPECT_EQ(caption("LBL_SELEZIONATI"), "Chosen items");
    auto grid = w.Control("QGRID").As<ui::ILineView>();
    EXPECT_THAT(grid->ColumnCaptions(), ElementsAre("Priority", "Type", "Description"));
    EXPECT_THAT(grid->LineCells(1), ElementsAre("1", "Sal/Pur", "Per cliente"));
    EXPECT_THAT(w.Control("CBO_TIPO").As<ui::IChoiceInput>()->Labels(),
                ElementsAre("Sales / purchase documents", "Return documents",
                            "Closing inventory (income statement)",
                            "Closing inventory (balance sheet)", "Warehouse account",
                            "Material price difference account", "Cost of sales account"));

    // The record frame's own refusals name the field in English, under the window's caption.
    const struct {
        std::string description, message;
    } refusals[] = {
        {"", "Required field: Counter-account description"},
        {std::string(256, 'x'),
         "The field Counter-account description takes at most 255 characters"},
    };
    for (const auto& r : refusals) {
        driver_.Type(w, "TXT_DESCR", r.description);
        driver_.Press(w, "INTERNAV", "Conferma");
        const auto& shown = driver_.TakeMessage();
        EXPECT_EQ(shown.text, r.message);
        EXPECT_EQ(shown.title, "Counter-account determination criteria");
    }
}

}  // namespace
