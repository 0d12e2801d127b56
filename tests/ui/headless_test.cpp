#include <gtest/gtest.h>

#include "tests/ui/test_window.h"

namespace ui::test {
namespace {

class MessageBoxTest : public ::testing::Test {
  protected:
    HeadlessToolkit toolkit;
    ScopedToolkit installed{toolkit};
    Driver driver{toolkit};
};

constexpr const char* kDelete = "Eliminare tutti i conti collagati con questo criterio?";
constexpr int32_t kQuestionNo = mb::YesNo | mb::Question | mb::DefaultButton2;  // 292

TEST_F(MessageBoxTest, QueuedAnswersAreGivenInOrderAndEveryCallIsRecorded) {
    driver.ExpectQuestion(mb::AnswerNo, kDelete);
    driver.ExpectQuestionContaining(mb::AnswerYes, "cambio ditta");
    driver.ExpectQuestion(mb::AnswerOk);
    EXPECT_EQ(MessageBox(kDelete, kQuestionNo, "Elimina riga"), mb::AnswerNo);
    EXPECT_EQ(MessageBox("Il cambio ditta comporta la chiusura del programma, proseguo ?",
                         mb::YesNo, "Gestione"),
              mb::AnswerYes);
    EXPECT_EQ(MessageBox("Superato il numero massimo di campi ammessi", mb::Exclamation, ""),
              mb::AnswerOk);
    EXPECT_EQ(toolkit.PendingExpectations(), 0u);

    const RecordedMessage& first = driver.TakeMessage();
    EXPECT_EQ(first.text, kDelete);
    EXPECT_EQ(first.flags, 292);
    EXPECT_EQ(first.title, "Elimina riga");
    EXPECT_EQ(first.answer, mb::AnswerNo);
    EXPECT_EQ(driver.UntakenMessages(), 2u);
    EXPECT_EQ(driver.TakeMessage().answer, mb::AnswerYes);
    EXPECT_EQ(driver.TakeMessage().flags, mb::Exclamation);
    EXPECT_NE(ErrorOf([&] { driver.TakeMessage(); }).Number(), 0);
}

TEST_F(MessageBoxTest, NoticesWithNothingQueuedAreAnsweredOk) {
    const std::string notice =
        "Il collegamento ai dati multimediali è possibile solamente in fase di variazione";
    EXPECT_EQ(MessageBox(notice, mb::Information, "Avviso Utente"), mb::AnswerOk);
    ASSERT_EQ(driver.Messages().size(), 1u);
    EXPECT_EQ(driver.Messages()[0].text, notice);
    EXPECT_EQ(driver.Messages()[0].answer, mb::AnswerOk);
}

TEST_F(MessageBoxTest, AQuestionNobodyExpectedFailsQuotingItAndIsRecorded) {
    auto error = ErrorOf([&] { MessageBox(kDelete, kQuestionNo, "Elimina riga"); });
    EXPECT_TRUE(Contains(error.Description(), std::string("\"") + kDelete + "\""))
        << error.Description();
    ASSERT_EQ(driver.Messages().size(), 1u);
    EXPECT_EQ(driver.Messages()[0].answer, 0);
}

TEST_F(MessageBoxTest, AnExpectationThatDoesNotFitFailsQuotingBothTexts) {
    driver.ExpectQuestion(mb::AnswerYes, "Proseguo ?");
    auto error = ErrorOf([&] { MessageBox(kDelete, kQuestionNo, ""); });
    EXPECT_TRUE(Contains(error.Description(), kDelete));
    EXPECT_TRUE(Contains(error.Description(), "\"Proseguo ?\""));

    driver.ExpectQuestionContaining(mb::AnswerYes, "massimo");
    EXPECT_TRUE(Contains(ErrorOf([&] { MessageBox(kDelete, mb::YesNo, ""); }).Description(),
                         "containing \"massimo\""));

    // An answer the box has no button for is a mistake of the test, not an answer.
    driver.ExpectQuestion(mb::AnswerYes);
    EXPECT_TRUE(Contains(ErrorOf([&] { MessageBox("Avviso", mb::Information, ""); }).Description(),
                         "not one of its buttons"));
    EXPECT_EQ(driver.Messages().size(), 3u);
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
    loaded->Load();
    driver.Activate(*loaded);
    loaded->Unload();
    EXPECT_EQ(toolkit.ActiveForm(), nullptr);
}

TEST(Toolkit, BeepsAreCountedAndAHeadlessToolkitIsThereWhenNoneWasChosen) {
    Toolkit::SetCurrent(nullptr);
    EXPECT_NE(dynamic_cast<HeadlessToolkit*>(&Toolkit::Current()), nullptr);
    HeadlessToolkit toolkit;
    {
        ScopedToolkit installed(toolkit);
        EXPECT_EQ(&Toolkit::Current(), &toolkit);
        Beep();
        Beep();
    }
    EXPECT_NE(&Toolkit::Current(), &toolkit);
    EXPECT_EQ(Driver(toolkit).Beeps(), 2);
}

}  // namespace
}  // namespace ui::test
