// A write that waits for another user's lock shows why the window does not answer.

#include <atomic>
#include <thread>

#include "tests/gui/gui_test.h"

namespace test {
namespace {

// Another connection holds the write lock for half a second; meanwhile (this thread waits in
// the save) it looks at what the user sees, then lets the save through.
TEST_F(GuiTest, ASaveWaitingForALockShowsTheBusyCursorAndWhy) {
    Open();
    ClickLine(1);
    auto* description = Widget<QLineEdit>("TXT_DESCR");
    QTest::mouseClick(description, Qt::LeftButton);
    QTest::keyClick(description, Qt::Key_End);
    QTest::keyClicks(description, " bis");

    auto other = ado::Connection::Create();
    other->Open(m_.session->ConnectionString());
    other->Execute("BEGIN IMMEDIATE");
    std::atomic<bool> waitCursor = false;
    QString message;
    std::thread holder([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const QCursor* cursor = QApplication::overrideCursor();
        waitCursor = cursor && cursor->shape() == Qt::WaitCursor;
        message = host_->statusBar()->currentMessage();
        other->Execute("COMMIT");
    });
    Press("Conferma");
    holder.join();

    EXPECT_TRUE(waitCursor);
    EXPECT_EQ(message, "in attesa del database…");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(host_->statusBar()->currentMessage(), "");
    EXPECT_EQ(m_.Query("SELECT MGA0_DESCR FROM MGA0_QUINTAB WHERE MGA0_ID = 1"),
              "Cliente, Codice articolo bis");
}

}  // namespace
}  // namespace test
