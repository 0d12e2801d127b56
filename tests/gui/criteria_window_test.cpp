// The criteria window's widgets reach the window's rules and show their results: clicks, keys
// and message boxes as a user meets them on the desktop host.

#include <gmock/gmock.h>

#include <QComboBox>
#include <QHeaderView>

#include "contracts/controls.h"
#include "platform/com/events.h"
#include "tests/gui/gui_test.h"

namespace test {
namespace {

using Box = QMessageBox;

TEST_F(GuiTest, TheMouseAndTheKeysEditACriterion) {
    Open();
    Screenshot(*host_, "list.png");
    ClickLine(1);
    auto* tree = Widget<QTreeWidget>("TVW_FIELDS");
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, TreeNode("Deposito (Riga)"));
    QTest::keyClick(tree, Qt::Key_Return);  // as a double-click
    EXPECT_SOON_EQ(Listed(), QStringList({"Cliente", "Codice articolo", "Deposito (Riga)"}));
    EXPECT_SOON(Widget("changesPending")->isVisible());
    QTest::keyClick(tree, Qt::Key_Escape);  // Annulla
    EXPECT_SOON(!Widget("changesPending")->isVisible());

    ClickLine(3);
    EXPECT_SOON_EQ(Text("TXT_DESCR"), "Fornitore, Famiglia");
    DoubleClick(tree->viewport(), TreeNode("Codice articolo"));
    EXPECT_SOON_EQ(Listed(), QStringList({"Fornitore", "Famiglia", "Codice articolo"}));
    auto* description = Widget<QLineEdit>("TXT_DESCR");
    QTest::mouseClick(description, Qt::LeftButton);
    QTest::keyClick(description, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(description, "Fornitori per citt");
    QTest::sendKeyEvent(QTest::Click, description, Qt::Key_Agrave, QStringLiteral("à"),
                        Qt::NoModifier);
    Press("Conferma");
    EXPECT_EQ(
        m_.Query("SELECT MGA0_DESCR, MGA0_STRUTTURACAMPI FROM MGA0_QUINTAB WHERE MGA0_ID = 3"),
        "Fornitori per città|INDFFAMICODA");
    EXPECT_SOON(!Widget("changesPending")->isVisible());

    QTest::keyClick(tree, Qt::Key_N, Qt::ControlModifier);  // Nuovo
    EXPECT_SOON(Widget("TXT_DESCR")->hasFocus());
    EXPECT_SOON_EQ(Text("TXT_PRIORITA"), "6");
}

// Keys typed ahead of the redraw meet what the models show: the Tab that reaches the description
// selects the newly chosen criterion's text, which the typing then replaces.
TEST_F(GuiTest, KeysTypedAheadActOnTheCriterionTheyChose) {
    Open();
    ClickLine(1);
    auto key = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };
    key(Qt::Key_Down);
    for (int i = 0; i < 5; ++i) key(Qt::Key_Tab);
    QCoreApplication::processEvents();  // the window catches up while the user types on
    QTest::keyClicks(QApplication::focusWidget(), "Nuova");
    Press("Conferma");
    EXPECT_EQ(m_.Query("SELECT MGA0_DESCR FROM MGA0_QUINTAB WHERE MGA0_ID = 2"), "Nuova");
}

// The window's questions and refusals are real message boxes with their icon and default button,
// and the answer clicked is the one that counts.
TEST_F(GuiTest, MessagesAreBoxesOfTheirKind) {
    Open();
    Press("Nuovo");
    EXPECT_SOON(Widget("TXT_DESCR")->hasFocus());
    Screenshot(*host_, "new-criterion.png");
    QTest::keyClicks(Widget("TXT_DESCR"), "Senza campi");
    AnswerNextBox(Box::Ok, "refusal.png");
    Press("Conferma");
    // The window sends the user to the tree. (The offscreen platform activates no window once
    // the box has gone: the focus is the host window's own.)
    EXPECT_SOON(host_->focusWidget() == Widget("TVW_FIELDS"));

    Press("Annulla");
    ClickLine(1);  // criterion 1 has counter-account rows
    AnswerNextBox(Box::Yes);
    Press("Elimina");
    EXPECT_EQ(m_.Query("SELECT COUNT(*) FROM MGA1_MATRCPAR WHERE MGA1_ID_MGA0 = 1"), "0");

    auto* companies = host_->findChild<QComboBox*>("companies");
    AnswerNextBox(Box::No);
    QTest::keyClick(companies, Qt::Key_Down);  // refused: the selector goes back
    QCoreApplication::processEvents();
    EXPECT_EQ(host_->Area()->subWindowList().size(), 1);
    EXPECT_TRUE(companies->currentText().startsWith("1 - "));
    AnswerNextBox(Box::Yes);
    QTest::keyClick(companies, Qt::Key_Down);
    EXPECT_SOON(host_->Area()->subWindowList().isEmpty());
    EXPECT_TRUE(companies->currentText().startsWith("2 - "));

    const QString caption = framework::kModuleCaption,
                  change = "Il cambio ditta comporta la chiusura del programma, proseguo ?";
    EXPECT_THAT(shown_,
                ::testing::ElementsAre(
                    SeenBox{"Obbligatorio scegliere un campo !!", caption, Box::Warning, Box::Ok},
                    SeenBox{"Eliminare tutti i conti collagati con questo criterio?",
                            "Elimina riga", Box::Question, Box::No},
                    SeenBox{change, caption, Box::NoIcon, Box::Yes},
                    SeenBox{change, caption, Box::NoIcon, Box::Yes}));
}

TEST_F(GuiTest, TabGoesThroughTheFieldsInLayoutOrder) {
    const QStringList order = {"QGRID",          "CBO_TIPO",     "TXT_PRIORITA", "TBAR_PRIORITY0",
                               "TBAR_PRIORITY1", "TXT_DESCR",    "TBR_REFRESH0", "TVW_FIELDS",
                               "TBAR_SELECT0",   "TBAR_SELECT1", "LST_FIELDS",   "TBAR_FIELDS0",
                               "TBAR_FIELDS1"};
    Open();
    ClickLine(1);
    QStringList visited;
    for (int i = 0; i < order.size(); ++i) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_TRUE(focused);
        QVariant index = focused->property("arrayIndex");
        visited << focused->objectName() + (index.isValid() ? index.toString() : QString());
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, order);
}

// Counts the cells the grid formats for display.
struct CellCounter : com::ComObject<CellCounter, host::IGridEvents> {
    int cells = 0;
    com::HRESULT FormatCell(std::string&, const std::string&,
                            const com::Variant&) noexcept override {
        ++cells;
        return com::S_OK;
    }
};

// With 10,000 criteria the grid asks only for the lines it draws: a view that made or measured
// something per line would format every cell each time the list is reloaded, here after a delete.
TEST_F(GuiTest, TheGridFormatsOnlyTheLinesItDraws) {
    m_.Sql(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 9986) "
        "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
        "MGA0_DESCR, MGA0_STRUTTURACAMPI) SELECT 100 + i, 1, 8, 1 + i, 'Criterio ' || i, "
        "'CODA' FROM n");
    Open();
    auto* grid = Widget<QTableView>("QGRID");
    EXPECT_EQ(grid->model()->rowCount(), 10000);
    auto counter = com::MakeObject<CellCounter>();
    com::EventConnection formatting;
    ASSERT_TRUE(
        formatting.Connect<host::IGridEvents>(m_.Window().Control("QGRID").Get(), counter.Get()));
    ClickLine(2);  // a criterion without counter-account rows: deleted without a question
    Press("Elimina");
    EXPECT_SOON_EQ(grid->verticalHeader()->count(), 9999);
    grid->grab();  // drawn
    EXPECT_GT(counter->cells, 0);
    EXPECT_LT(counter->cells, 3 * 100);  // a hundred lines' worth
}

}  // namespace
}  // namespace test
