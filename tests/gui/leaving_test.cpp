// How the user leaves the criteria window in the desktop host: an edit not saved is never lost
// without a word, whichever way the window goes; a modal window closes from the keyboard (Ctrl+Q
// over it is the desktop tests').

#include "tests/gui/gui_test.h"

namespace test {
namespace {

using ::testing::UnorderedElementsAre;

enum class Leave { Quit, CloseFrame, ChangeCompany };

struct LeaveCase {
    const char* name;
    Leave leave;
    Box::StandardButton answer;  // to "Salvare le modifiche?"
};
void PrintTo(const LeaveCase& c, std::ostream* os) {
    *os << c.name;
}

class LeavingAnEdit : public GuiTest, public ::testing::WithParamInterface<LeaveCase> {
  protected:
    void LeaveAs(Leave leave) {
        switch (leave) {
            case Leave::Quit:
                return Key(Qt::Key_Q, Qt::ControlModifier);
            case Leave::CloseFrame:
                host_->Area()->subWindowList().front()->close();
                return;
            case Leave::ChangeCompany:
                return QTest::keyClick(Widget<QComboBox>("companies"), Qt::Key_Down);
        }
    }
};

// The host asks before it ends the module: the window itself asks nothing as it unloads. The
// module asks its own question about the company change after the host's.
TEST_P(LeavingAnEdit, TheHostAsksFirstAndDoesWhatTheAnswerSays) {
    const LeaveCase& c = GetParam();
    const bool windowStays = c.answer == Box::Cancel;  // "Torna alla finestra"
    Open();
    ClickLine(1);
    auto* description = Widget<QLineEdit>("TXT_DESCR");
    QTest::mouseClick(description, Qt::LeftButton);
    QTest::keyClick(description, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(description, "Cliente e articolo");
    EXPECT_SOON(Widget("changesPending")->isVisible());

    AnswerNextBox(c.answer, c.answer == Box::Save && c.leave == Leave::Quit ? "save-question.png"
                                                                            : QString());
    if (c.leave == Leave::ChangeCompany && c.answer != Box::Cancel) AnswerNextBox(Box::Yes);
    LeaveAs(c.leave);
    QCoreApplication::processEvents();

    ASSERT_FALSE(shown_.empty());
    EXPECT_EQ(shown_.front(),
              (SeenBox{"Salvare le modifiche?", "Dravel", Box::Question, Box::Save}));
    EXPECT_THAT(buttons_.front(),
                UnorderedElementsAre("Salva", "Non salvare", "Torna alla finestra"));
    EXPECT_SOON_EQ(host_->Area()->subWindowList().size(), windowStays ? 1 : 0);
    EXPECT_EQ(host_->isVisible(), c.leave != Leave::Quit || windowStays);
    if (windowStays) {
        EXPECT_EQ(description->text(), "Cliente e articolo");
        EXPECT_TRUE(Widget("changesPending")->isVisible());
        EXPECT_TRUE(Widget<QComboBox>("companies")->currentText().startsWith("1 - "));
    }
    EXPECT_EQ(m_.Query("SELECT MGA0_DESCR FROM MGA0_QUINTAB WHERE MGA0_ID = 1"),
              c.answer == Box::Save ? "Cliente e articolo" : "Cliente, Codice articolo");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LeavingAnEdit,
    ::testing::Values(LeaveCase{"QuitSaved", Leave::Quit, Box::Save},
                      LeaveCase{"QuitKeptOnScreen", Leave::Quit, Box::Cancel},
                      LeaveCase{"FrameDropped", Leave::CloseFrame, Box::Discard},
                      LeaveCase{"FrameKeptOnScreen", Leave::CloseFrame, Box::Cancel},
                      LeaveCase{"CompanyKeptOnScreen", Leave::ChangeCompany, Box::Cancel}),
    [](const auto& info) { return std::string(info.param.name); });

class ModalWindow : public GuiTest {
  protected:
    ModalWindow() { options_.modal = true; }

    // Opens the modal window and works it with `keys` from inside the window's own event loop;
    // returns once the window has gone (closed, with a failure, when the keys leave it open).
    void WorkModal(const std::function<void()>& keys) {
        bool opened = false;
        QTimer::singleShot(0, host_.get(), [&] {
            opened = true;
            if (Soon([&] { return Widget("TXT_DESCR")->isVisible(); })) keys();
            if (m_.session->Window()) {
                ADD_FAILURE() << "the modal window is still open";
                m_.session->CloseForm();
            }
        });
        Key(Qt::Key_M, Qt::ControlModifier);
        ASSERT_TRUE(opened);
    }
};

TEST_F(ModalWindow, EscUndoesThenCloses) {
    WorkModal([&] {
        auto* description = Widget<QLineEdit>("TXT_DESCR");
        QTest::keyClicks(description, "x");
        EXPECT_SOON(Widget("changesPending")->isVisible());
        QTest::keyClick(description, Qt::Key_Escape);
        EXPECT_SOON(!Widget("changesPending")->isVisible());
        EXPECT_TRUE(m_.session->Window());
        QTest::keyClick(description, Qt::Key_Escape);
    });
    EXPECT_FALSE(m_.session->Window());
    EXPECT_TRUE(host_->isVisible());
}

}  // namespace
}  // namespace test
