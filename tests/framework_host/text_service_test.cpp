#include <gtest/gtest.h>

#include "framework/text_service.h"

// The program runs in the C locale (it never calls setlocale), as on a machine where no locale
// has been generated: the English catalogue needs none.
TEST(TextService, ShowsSourceTextsUnlessEnglishIsChosen) {
    auto texts = framework::TextService::Create();
    std::string priority = "Priorità", unknown = "Testo senza traduzione";
    EXPECT_EQ(texts->Language(), "it");
    EXPECT_EQ(texts->TranslateText(priority), "Priorità");

    texts->SetLanguage("en");
    EXPECT_EQ(texts->TranslateText(priority), "Priority");
    EXPECT_EQ(texts->TranslateText(unknown), unknown);
    EXPECT_EQ(priority, "Priorità");  // the caller's text is not changed

    EXPECT_THROW(texts->SetLanguage("de"), com::ComError);
    EXPECT_EQ(texts->Language(), "en");
    texts->SetLanguage("it");
    EXPECT_EQ(texts->TranslateText(priority), "Priorità");
}
