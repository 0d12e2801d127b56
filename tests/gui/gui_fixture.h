#pragma once
// The desktop host as a user meets it: the shell window with its QMdiArea, the Qt toolkit, the
// module created by program identifier from libdravel.so, on a demo SQLite file in a temporary
// folder. Tests act on the real widgets with Qt Test's mouse and keyboard and wait for the views,
// which redraw on the next turn of the event loop.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/demo_data.h"
#include "framework/host_classes.h"
#include "framework/host_session.h"
#include "gui/host_window.h"
#include "gui/qt_toolkit.h"
#include "platform/com/registry.h"
#include "tests/support/module_library.h"
#include "tests/support/temp_dir.h"

// The views redraw on the next turns of the event loop: these let them, then wait (five seconds
// at most) for what the test expects, as a user waits for the screen.
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

// Failures show texts as they read.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace test {

// What a message box showed, read before its button was clicked.
struct SeenBox {
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// One QApplication for the program, made before the first test and gone after the last, with
// a runtime folder of its own when the session has none (Qt wants one, private to the user).
class QtApplication : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!std::getenv("XDG_RUNTIME_DIR")) {
            runtime_.emplace("dravel-gui-runtime");
            runtimeEnv_.emplace("XDG_RUNTIME_DIR", runtime_->Path().c_str());
        }
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override {
        app_.reset();
        runtimeEnv_.reset();
        runtime_.reset();
    }

  private:
    int argc_ = 1;
    char name_[9] = "test_gui";
    char* argv_[2] = {name_, nullptr};
    std::optional<testing_support::TempDir> runtime_;
    std::optional<testing_support::ScopedEnv> runtimeEnv_;
    std::unique_ptr<QApplication> app_;
};
inline auto* const kQtApplication = ::testing::AddGlobalTestEnvironment(new QtApplication);

class GuiTest : public ::testing::Test {
  protected:
    static constexpr const char* kCaption = "Gestione determinazione contropartite";

    // The demo database (companies 1 and 2 with their criteria) and the shell; no module yet.
    void SetUp() override {
        registry_.emplace("DRAVEL_REGISTRY", (dir_ / "registry.json").c_str());
        log_.emplace("DRAVEL_LOG", (dir_ / "dravel.log").c_str());
        framework::RegisterHostClasses();
        framework::HostSession::RegisterModule(testing_support::ModuleLibrary());
        session_ = std::make_unique<framework::HostSession>(
            db::SqliteConnectionString(File()),
            framework::SessionOptions{.createDatabase = true, .demoData = true});
        session_->ChooseCompany(1);
        host_ = std::make_unique<gui::HostWindow>(*session_, gui::HostOptions{});
        toolkit_ = std::make_unique<gui::QtToolkit>(host_->Area());
        scoped_ = std::make_unique<ui::ScopedToolkit>(*toolkit_);
        toolkit_->OnFormUnloaded([this](ui::IForm&) { host_->WindowClosed(); });
        QObject::connect(&boxes_, &QTimer::timeout, [this] { AnswerBox(); });
        boxes_.start(10);
        host_->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(host_.get()));
    }

    void TearDown() override {
        if (session_) session_->EndModule();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        scoped_.reset();
        toolkit_.reset();
        host_.reset();
        session_.reset();
        com::FreeUnusedLibraries();
    }

    // Opens the window with the shortcut of the shell's menu entry and waits until it is drawn.
    void Open() {
        QTest::keyClick(host_.get(), Qt::Key_M, Qt::ControlModifier);
        if (!QTest::qWaitFor([&] { return Widget<QTableView>("QGRID")->isVisible(); }))
            throw std::runtime_error("The window did not open");
        QCoreApplication::processEvents();
    }

    std::filesystem::path File() const { return dir_ / "demo.sqlite"; }

    // Runs SQL on the file through a connection of its own, as another program would; returns
    // the rows as "v|v;v|v".
    std::string Sql(const std::string& sql) {
        sqlite3* db = nullptr;
        std::string rows, error;
        int rc = sqlite3_open(File().c_str(), &db);
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(db, 5000);
            char* message = nullptr;
            rc = sqlite3_exec(
                db, sql.c_str(),
                [](void* out, int n, char** values, char**) {
                    auto& text = *static_cast<std::string*>(out);
                    for (int i = 0; i < n; ++i)
                        text += (i ? "|" : (text.empty() ? "" : ";")) +
                                std::string(values[i] ? values[i] : "NULL");
                    return 0;
                },
                &rows, &message);
            if (message) error = message, sqlite3_free(message);
        }
        if (rc != SQLITE_OK && error.empty()) error = sqlite3_errmsg(db);
        sqlite3_close(db);
        if (rc != SQLITE_OK) throw std::runtime_error(sql + ": " + error);
        return rows;
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

    // As the mouse sends it: press, release, double-click, release.
    static void DoubleClick(QWidget* widget, QPoint at) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
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

    // The next message box is answered by clicking this button (the action that shows it waits
    // in the box's own event loop); what it showed is added to shown_. `screenshot` names a
    // picture of it.
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

    std::unique_ptr<framework::HostSession> session_;
    std::unique_ptr<gui::HostWindow> host_;

    std::vector<SeenBox> shown_;

  private:
    // A box up while no answer waits fails the test and is closed, so that the test goes on.
    void AnswerBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        if (answers_.empty()) {
            ADD_FAILURE() << "Unexpected message box: " << box->text().toStdString();
            return box->reject();
        }
        auto [button, screenshot] = answers_.front();
        answers_.pop_front();
        shown_.push_back({box->text(), box->windowTitle(), box->icon(),
                          box->standardButton(box->defaultButton())});
        if (!screenshot.isEmpty()) Screenshot(*box, screenshot);
        if (!box->button(button)) {
            ADD_FAILURE() << "The box has no such button: " << box->text().toStdString();
            return box->reject();
        }
        QTest::mouseClick(box->button(button), Qt::LeftButton);
    }

    struct Answer {
        QMessageBox::StandardButton button;
        QString screenshot;
    };
    std::deque<Answer> answers_;
    QTimer boxes_;
    testing_support::TempDir dir_{"dravel-gui"};
    std::optional<testing_support::ScopedEnv> registry_, log_;
    std::unique_ptr<gui::QtToolkit> toolkit_;
    std::unique_ptr<ui::ScopedToolkit> scoped_;
};

}  // namespace test
