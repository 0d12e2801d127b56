// The window's message routine picks one channel: the log service while the window has one,
// the platform message box without a module, the host's text service otherwise.

#include <gtest/gtest.h>

#include "framework/log_service.h"
#include "tests/host/session_fixture.h"
#include "window/frm_mgquintab.h"

namespace {

// The host's log service, with a count of the messages handed to it.
class CountingLog : public com::ComObject<CountingLog, host::ILogService> {
  public:
    explicit CountingLog(com::ComPtr<host::ILogService> inner) : inner_(std::move(inner)) {}
    void CaptureError(const com::ComError& e) override { inner_->CaptureError(e); }
    com::Variant ReportError(const com::Variant& code, const std::string& source,
                             const std::string& procedure) override {
        return inner_->ReportError(code, source, procedure);
    }
    int32_t LogMessageBox(std::string& text, int32_t& flags, const std::string& title, int32_t a,
                          int32_t b) override {
        ++messages;
        lastA = a;
        lastB = b;
        return inner_->LogMessageBox(text, flags, title, a, b);
    }
    int messages = 0;
    int32_t lastA = 0, lastB = 0;

  private:
    com::ComPtr<host::ILogService> inner_;
};

class ShowMessage : public test::SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        window_ = dravel::FRM_MGQUINTAB::Create();  // its controls come from the host's classes
    }
    void TearDown() override {
        window_ = nullptr;
        SessionTest::TearDown();
    }
    com::ComPtr<dravel::FRM_MGQUINTAB> window_;
};

TEST_F(ShowMessage, TheLogServiceServesWhileTheWindowHasOne) {
    auto log = com::ComPtr<CountingLog>(new CountingLog(framework::LogService::Create()));
    window_->GclsLog = log;
    window_->ActiveInterface = nullptr;  // whatever the module holds, the log service answers
    std::string title = "Titolo";
    driver_.ExpectQuestion(ui::mb::AnswerYes);
    EXPECT_EQ(window_->ShowMessage("Procedo?", 4, title, "Salva"), ui::mb::AnswerYes);
    EXPECT_EQ(log->messages, 1);
    EXPECT_EQ(log->lastA, -1);
    EXPECT_EQ(log->lastB, 0);
    const auto& shown = driver_.TakeMessage();
    EXPECT_EQ(shown.text, "Procedo?\rFunzione: Salva");  // one carriage return, no line feed
    EXPECT_EQ(shown.title, "Titolo");
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
}

TEST_F(ShowMessage, WithoutAModuleThePlatformBoxServes) {
    std::string title = "Avviso";
    EXPECT_EQ(window_->ShowMessage("Testo", 64, title, ""), ui::mb::AnswerOk);
    const auto& shown = driver_.TakeMessage();
    EXPECT_EQ(shown.text, "Testo");
    EXPECT_EQ(shown.flags, 64);
}

TEST_F(ShowMessage, TheHostsTextServiceServesAModuleWithoutLog) {
    session_->CreateModule();
    window_->ActiveInterface = session_->Module();
    std::string title = "Avviso";
    EXPECT_EQ(window_->ShowMessage("Testo", 64, title, ""), ui::mb::AnswerOk);
    EXPECT_EQ(driver_.TakeMessage().text, "Testo");

    // No global object: nothing is shown and the answer is 0, which no caller takes for Yes.
    session_->Module()->putref_ClsGlobal(nullptr);
    EXPECT_EQ(window_->ShowMessage("Procedo?", 4, title, ""), 0);
    EXPECT_EQ(driver_.UntakenMessages(), 0u);
}

TEST_F(ShowMessage, AModalWindowReturnsOnlyOnceClosed) {
    session_->ChooseCompany(1);
    auto& module = session_->CreateModule();
    module.put_WindowModal(com::VARIANT_TRUE);
    bool closedInsideTheLoop = false;
    driver_.Queue([&] {
        auto window = session_->Window();
        ASSERT_TRUE(window);
        EXPECT_TRUE(window->Modal());
        window->UserClose();
        closedInsideTheLoop = true;
    });
    com::Variant result(1);
    ASSERT_EQ(module.ShowForm(&result), com::S_OK);
    EXPECT_TRUE(result.IsEmpty());
    EXPECT_TRUE(closedInsideTheLoop);
    EXPECT_FALSE(session_->Window());
    com::Variant closed;
    module.CloseForm(&closed);
    EXPECT_EQ(closed, com::Variant(true));  // again, on a window already gone
}

}  // namespace
