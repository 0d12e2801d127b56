#pragma once
// The desktop host as a user meets it: the shell window with its QMdiArea, the Qt toolkit and the
// module on the demo database, as tests/support/module_session.h sets them up. Tests act on the
// real widgets with Qt Test's mouse and keyboard and wait for the views, which redraw on the next
// turn of the event loop.

#include <gmock/gmock.h>

#include <QtTest>
#include <QtWidgets>
#include <deque>
#include <functional>
#include <memory>

#include "contracts/controls.h"
#include "gui/host_window.h"
#include "gui/qt_toolkit.h"
#include "platform/com/events.h"
#include "tests/support/module_session.h"

// Lets the views redraw, then waits (five seconds at most) for what the test expects, as a user
// waits for the screen.
inline bool Soon(const std::function<bool()>& done) {
    QCoreApplication::processEvents();
    return QTest::qWaitFor(done, 5000);
}
#define EXPECT_SOON(condition) EXPECT_TRUE(Soon([&] { return bool(condition); })) << #condition
#define EXPECT_SOON_EQ(actual, expected)                    \
    do {                                                    \
        (void)Soon([&] { return (actual) == (expected); }); \
        EXPECT_EQ(actual, expected);                        \
    } while (0)

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace test {

// What a message box showed, read before its button was clicked.
struct SeenBox {
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool operator==(const SeenBox&) const = default;
};
inline void PrintTo(const SeenBox& box, std::ostream* os) {
    *os << '"' << box.text.toStdString() << "\" titled \"" << box.title.toStdString() << "\", icon "
        << box.icon << ", default button " << box.defaultButton;
}

// One QApplication for the program.
struct QtApplication : ::testing::Environment {
    void SetUp() override { app = std::make_unique<QApplication>(argc, argv); }
    void TearDown() override { app.reset(); }
    int argc = 1;
    char name[9] = "test_gui";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
};
inline auto* const kQtApplication = ::testing::AddGlobalTestEnvironment(new QtApplication);

class GuiTest : public ::testing::Test {
  protected:
    // The shell on the demo database (companies 1 and 2 with their criteria); no module yet.
    void SetUp() override {
        m_.session->ChooseCompany(1);
        m_.session->Global().Texts().SetLanguage(language_);
        host_ = std::make_unique<gui::HostWindow>(*m_.session, options_);
        toolkit_ = std::make_unique<gui::QtToolkit>(host_->Area());
        scoped_ = std::make_unique<ui::ScopedToolkit>(*toolkit_);
        host_->Attach(*toolkit_);
        QObject::connect(&boxes_, &QTimer::timeout, [this] { AnswerBox(); });
        boxes_.start(10);
        host_->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(host_.get()));
    }
    void TearDown() override {
        m_.End();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        scoped_.reset();
        toolkit_.reset();
        host_.reset();
    }

    // Opens the window with the shortcut of the shell's menu entry and waits until it is drawn.
    void Open() {
        QTest::keyClick(host_.get(), Qt::Key_M, Qt::ControlModifier);
        if (!QTest::qWaitFor([&] { return Widget<QTableView>("QGRID")->isVisible(); }))
            throw std::runtime_error("The window did not open");
        QCoreApplication::processEvents();
    }

    // The widget of a control (the first element of a toolbar array).
    template <class W = QWidget>
    W* Widget(const QString& name) {
        if (auto* w = host_->findChild<W*>(name)) return w;
        throw std::runtime_error("No widget " + name.toStdString());
    }
    // Clicks the navigation bar's button of a key ("Nuovo", "Conferma", ...).
    void Press(const QString& key) {
        auto* action = host_->findChild<QAction*>(key);
        for (auto* button : host_->findChildren<QToolButton*>())
            if (action && button->defaultAction() == action)
                return QTest::mouseClick(button, Qt::LeftButton);
        throw std::runtime_error("No button " + key.toStdString());
    }
    void ClickLine(int line) {
        auto* grid = Widget<QTableView>("QGRID");
        QRect cell = grid->visualRect(grid->model()->index(line - 1, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    // The centre of a tree node as drawn, brought into view first.
    QPoint TreeNode(const QString& text) {
        auto* tree = Widget<QTreeWidget>("TVW_FIELDS");
        auto items = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        if (items.isEmpty()) throw std::runtime_error("No node " + text.toStdString());
        tree->scrollToItem(items.front());
        return tree->visualItemRect(items.front()).center();
    }
    QStringList Listed() {
        QStringList texts;
        auto* list = Widget<QListWidget>("LST_FIELDS");
        for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
        return texts;
    }
    QString Text(const QString& field) { return Widget<QLineEdit>(field)->text(); }
    // Opens a determination dialog with the navigator's shortcut, over the host window as the
    // user clicks it first, and waits until the dialog is shown.
    QDialog* OpenWith(Qt::Key key, const char* name) {
        QApplication::setActiveWindow(host_.get());
        QTest::keyClick(host_.get(), key, Qt::ControlModifier | Qt::ShiftModifier);
        QDialog* dialog = nullptr;
        Soon([&] { return (dialog = host_->findChild<QDialog*>(name)) && dialog->isVisible(); });
        if (!dialog) throw std::runtime_error(std::string("No dialog ") + name);
        return dialog;
    }
    // A table's cells, a cell with no item (or past the rows) as "-".
    static QString Cell(QTableWidget* table, int row, int column) {
        auto* item = table->item(row, column);
        return item ? item->text() : "-";
    }
    static QStringList Column(QTableWidget* table, int column) {
        QStringList cells;
        for (int row = 0; row < table->rowCount(); ++row) cells << Cell(table, row, column);
        return cells;
    }
    static QStringList Row(QTableWidget* table, int row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells << Cell(table, row, column);
        return cells;
    }
    // A key pressed where the focus is. (The offscreen platform activates no window once a box
    // or a dialog has gone: the host window is activated again first, as a user's click would.)
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        if (QWidget* active = QApplication::activeWindow(); !active || !active->isVisible())
            QApplication::setActiveWindow(host_.get());  // activateWindow() is not enough there
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused && focused->isVisible() ? focused : host_.get(), key, modifiers);
    }

    // The next message box is answered by clicking this button (the action that shows it waits in
    // the box's own event loop); what it showed goes to shown_. `screenshot` names a picture of it.
    void AnswerNextBox(QMessageBox::StandardButton button, const QString& screenshot = {}) {
        answers_.push_back({button, screenshot});
    }
    // Saves a picture of a widget under the build folder's screenshots/ for people to look at.
    static void Screenshot(QWidget& widget, const QString& name) {
        QString folder = qEnvironmentVariable("DRAVEL_SCREENSHOTS");
        if (folder.isEmpty()) return;
        QDir().mkpath(folder);
        EXPECT_TRUE(widget.grab().save(folder + "/" + name)) << name.toStdString();
    }

    testing_support::ModuleSession m_{testing_support::Backend::Sqlite, true};
    std::string language_ = "it";  // set by a derived fixture's constructor
    gui::HostOptions options_;
    std::unique_ptr<gui::HostWindow> host_;
    std::vector<SeenBox> shown_;
    std::vector<QStringList> buttons_;  // the texts of each box's buttons

  private:
    // A box up while no answer (or no such button) waits fails the test and is closed, so that
    // the test goes on.
    void AnswerBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        auto [button, screenshot] =
            answers_.empty() ? Answer{QMessageBox::NoButton, {}} : answers_.front();
        if (!answers_.empty()) answers_.pop_front();
        shown_.push_back({box->text(), box->windowTitle(), box->icon(),
                          box->standardButton(box->defaultButton())});
        buttons_.emplace_back();
        for (auto* b : box->buttons()) buttons_.back() << b->text();
        // A box asked during a write (the delete question) waits for the user, not the database.
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor over a box";
        if (!screenshot.isEmpty()) Screenshot(*box, screenshot);
        if (!box->button(button)) {
            ADD_FAILURE() << "Unexpected message box: " << box->text().toStdString();
            return box->reject();
        }
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    }

    using Answer = std::pair<QMessageBox::StandardButton, QString>;  // and its screenshot's name
    std::deque<Answer> answers_;
    QTimer boxes_;
    std::unique_ptr<gui::QtToolkit> toolkit_;
    std::unique_ptr<ui::ScopedToolkit> scoped_;
};

using Box = QMessageBox;

}  // namespace test
