// The headless toolkit's message boxes, answered from what a test expects, and its active window.

#include <gmock/gmock.h>

#include "tests/support/error_matchers.h"
#include "tests/ui/test_window.h"

namespace ui::test {
namespace {

using testing::HasSubstr;
using testing_support::FailsWith;

class MessageBoxTest : public ::testing::Test {
  protected:
    HeadlessToolkit toolkit;
    ScopedToolkit installed{toolkit};
    Driver driver{toolkit};
};

constexpr const char* kDelete = "Eliminare tutti i conti collagati con questo criterio?";
constexpr int32_t kQuestionNo = mb::YesNo | mb::Question | mb::DefaultButton2;

TEST_F(MessageBoxTest, QueuedAnswersAreGivenInOrderAndEveryCallIsRecorded) {
    driver.ExpectQuestion(mb::AnswerNo, kDelete);
    driver.ExpectQuestionContaining(mb::AnswerYes, "cambio ditta");
    EXPECT_EQ(MessageBox(kDelete, kQuestionNo, "Elimina riga"), mb::AnswerNo);
    EXPECT_EQ(MessageBox("Il cambio ditta comporta la chiusura", mb::YesNo, ""), mb::AnswerYes);
    EXPECT_EQ(MessageBox("Avviso", mb::Information, ""), mb::AnswerOk);  // a notice needs none
    EXPECT_EQ(toolkit.PendingExpectations(), 0u);

    const RecordedMessage& first = driver.TakeMessage();
    EXPECT_EQ(first.text + "|" + std::to_string(first.flags) + "|" + first.title,
              std::string(kDelete) + "|292|Elimina riga");
    EXPECT_EQ(driver.TakeMessage().answer, mb::AnswerYes);
    EXPECT_EQ(driver.TakeMessage().answer, mb::AnswerOk);
    EXPECT_THAT([&] { driver.TakeMessage(); }, FailsWith(com::err::InvalidCall));
}

// A box the test did not foresee fails the step, quoting what was asked and what was expected.
TEST_F(MessageBoxTest, AQuestionNobodyExpectedOrThatDoesNotFitFailsQuotingIt) {
    EXPECT_THAT([&] { MessageBox(kDelete, kQuestionNo, ""); },
                FailsWith(testing::_, HasSubstr(std::string("\"") + kDelete + "\"")));
    driver.ExpectQuestion(mb::AnswerYes, "Proseguo ?");
    EXPECT_THAT(
        [&] { MessageBox(kDelete, kQuestionNo, ""); },
        FailsWith(testing::_, testing::AllOf(HasSubstr(kDelete), HasSubstr("\"Proseguo ?\""))));
    driver.ExpectQuestionContaining(mb::AnswerYes, "massimo");
    EXPECT_THAT([&] { MessageBox(kDelete, mb::YesNo, ""); },
                FailsWith(testing::_, HasSubstr("containing \"massimo\"")));
    // An answer the box has no button for is a mistake of the test, not an answer.
    driver.ExpectQuestion(mb::AnswerYes);
    EXPECT_THAT([&] { MessageBox("Avviso", mb::Information, ""); },
                FailsWith(testing::_, HasSubstr("not one of its buttons")));
    ASSERT_EQ(driver.Messages().size(), 4u);
    EXPECT_EQ(driver.Messages()[0].answer, 0);
    EXPECT_EQ(toolkit.PendingExpectations(), 0u);
}

TEST(Toolkit, TheActiveWindowIsNeverOneThatHasUnloaded) {
    HeadlessToolkit toolkit;
    ScopedToolkit installed(toolkit);
    Driver driver(toolkit);
    auto shown = TestWindow::Create();
    auto loaded = TestWindow::Create();
    shown->Show();
    // Activated by the driver without being shown: it leaves with its unload all the same.
    loaded->Load();
    driver.Activate(*loaded);
    EXPECT_EQ(toolkit.ActiveForm(), loaded.Get());
    loaded->Unload();
    EXPECT_EQ(toolkit.ActiveForm(), shown.Get());
    // A window that is not loaded cannot be made active: no unload would take it back.
    driver.Activate(*loaded);
    EXPECT_EQ(toolkit.ActiveForm(), shown.Get());
    shown->Unload();
    EXPECT_EQ(toolkit.ActiveForm(), nullptr);
}

}  // namespace
}  // namespace ui::test
