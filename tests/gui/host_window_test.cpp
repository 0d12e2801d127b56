// The criteria window's widgets and the host's matrix window reach the windows' rules and show
// their results, and the determination dialogs show what the check finds and the walk to a
// posting's counter-account for values the user types, for the company active while they are open.

#include "tests/gui/gui_test.h"

namespace test {
namespace {

using ::testing::ElementsAre;

// Ctrl+E ("Esporta") hands the saved structure to the host, which shows it.
TEST_F(GuiTest, TheMouseAndTheKeysEditACriterionAndEsportaHandsItToTheHost) {
    Open();
    Screenshot(*host_, "list.png");
    ClickLine(1);
    auto* tree = Widget<QTreeWidget>("TVW_FIELDS");
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, TreeNode("Deposito (Riga)"));
    QTest::keyClick(tree, Qt::Key_Return);  // as a double-click
    EXPECT_SOON_EQ(Listed(), QStringList({"Cliente", "Codice articolo", "Deposito (Riga)"}));
    EXPECT_SOON(Widget("changesPending")->isVisible());
    // The menu entry again brings the window forward, edit and all: no second window.
    QTest::keyClick(tree, Qt::Key_M, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(host_->Area()->subWindowList().size(), 1);
    EXPECT_TRUE(Widget("changesPending")->isVisible());
    QTest::keyClick(tree, Qt::Key_Escape);  // Annulla
    EXPECT_SOON(!Widget("changesPending")->isVisible());

    ClickLine(3);
    EXPECT_SOON_EQ(Text("TXT_DESCR"), "Fornitore, Famiglia");
    const QPoint node = TreeNode("Codice articolo");  // double-clicked as the mouse sends it
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, node);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, node);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, node);
    EXPECT_SOON_EQ(Listed(), QStringList({"Fornitore", "Famiglia", "Codice articolo"}));
    Press("Conferma");
    EXPECT_EQ(m_.Query("SELECT MGA0_STRUTTURACAMPI FROM MGA0_QUINTAB WHERE MGA0_ID = 3"),
              "INDFFAMICODA");
    EXPECT_SOON(!Widget("changesPending")->isVisible());
    Key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_SOON(host_->Area()->subWindowList().isEmpty());
    EXPECT_EQ(Widget<QLabel>("transfer")->text(), "Struttura ricevuta: INDFFAMICODA");
    Screenshot(*host_, "received.png");
}

// Keys typed ahead of the redraw meet what the models show: the Tab that reaches the description
// selects the newly chosen criterion's text, which the typing then replaces; Ctrl+S saves it.
TEST_F(GuiTest, KeysTypedAheadActOnTheCriterionTheyChose) {
    Open();
    ClickLine(1);
    auto key = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };
    key(Qt::Key_Down);
    for (int i = 0; i < 5; ++i) key(Qt::Key_Tab);
    QCoreApplication::processEvents();  // the window catches up while the user types on
    QTest::keyClicks(QApplication::focusWidget(), "Nuova");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(m_.Query("SELECT MGA0_DESCR FROM MGA0_QUINTAB WHERE MGA0_ID = 2"), "Nuova");
}

// The window's questions and refusals are real message boxes with their icon, default button and
// Qt's buttons in the user's language, and the answer clicked is the one that counts: a save
// refused as the program quits keeps the program and the edit.
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
    AnswerNextBox(Box::Save);
    AnswerNextBox(Box::Ok);
    Key(Qt::Key_Q, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_TRUE(host_->isVisible());
    EXPECT_EQ(Text("TXT_DESCR"), "Senza campi");

    Press("Annulla");
    ClickLine(1);  // criterion 1 has counter-account rows
    AnswerNextBox(Box::Yes);
    Press("Elimina");
    EXPECT_EQ(m_.Query("SELECT COUNT(*) FROM MGA1_MATRCPAR WHERE MGA1_ID_MGA0 = 1"), "0");
    EXPECT_THAT(buttons_.back(), ::testing::UnorderedElementsAre("&Sì", "&No"));  // Qt's Italian
    const SeenBox refusal{"Obbligatorio scegliere un campo !!", framework::kModuleCaption,
                          Box::Warning, Box::Ok};
    EXPECT_THAT(
        shown_,
        ElementsAre(refusal, ::testing::Field(&SeenBox::text, "Salvare le modifiche?"), refusal,
                    SeenBox{"Eliminare tutti i conti collagati con questo criterio?",
                            "Elimina riga", Box::Question, Box::No}));
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
        visited << focused->objectName() + focused->property("arrayIndex").toString();
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

// An edit pending is asked about, its window in front, before the company changes, and undone
// when not saved.
TEST_F(GuiTest, TheMatrixWindowTakesARowFromTheKeyboard) {
    Open();
    ClickLine(2);
    Key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_SOON_EQ(Widget<QComboBox>("CBO_CRITERIO")->currentText(),
                   "2. Macrocategoria, Categoria, Famiglia, Sottofamiglia");
    Key(Qt::Key_Tab);
    Key(Qt::Key_Up);
    EXPECT_SOON_EQ(Widget<QLabel>("LBL_VALORE02")->text(), "Codice articolo");
    EXPECT_TRUE(Widget("CBO_CRITERIO")->hasFocus());
    Key(Qt::Key_N, Qt::ControlModifier);
    for (const char* text : {"C00777", "VITI-M8", "40.01.777"}) {
        QTest::keyClicks(QApplication::focusWidget(), text);
        Key(Qt::Key_Tab);
    }
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(m_.Query("SELECT MGA1_CONTO FROM MGA1_MATRCPAR WHERE MGA1_ID_MGA0 = 1 AND "
                       "MGA1_VALORE01 = 'C00777' AND MGA1_VALORE02 = 'VITI-M8'"),
              "40.01.777");
    QCoreApplication::processEvents();
    Screenshot(*host_->Area()->activeSubWindow(), "matrix.png");
    Key(Qt::Key_N, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "C00778");
    host_->Area()->setActiveSubWindow(host_->Area()->subWindowList().front());
    AnswerNextBox(Box::Discard);
    AnswerNextBox(Box::Yes);  // the module's own question
    QTest::keyClick(Widget<QComboBox>("companies"), Qt::Key_Down);
    ASSERT_EQ(shown_.size(), 2u);
    EXPECT_EQ(shown_.front().text, "Salvare le modifiche?");
    EXPECT_EQ(host_->Area()->activeSubWindow()->widget()->objectName(),
              framework::kMatrixWindowName);
    EXPECT_TRUE(Widget<QComboBox>("companies")->currentText().startsWith("2 - "));
    EXPECT_EQ(m_.Query("SELECT COUNT(*) FROM MGA1_MATRCPAR WHERE MGA1_VALORE01 = 'C00778'"), "0");
}

using DeterminationDialogs = GuiTest;

// Each finding is a row of its criterion's type, priority and description and what is wrong;
// one without a criterion (a matrix row whose criterion is gone) leaves those empty. The cells
// are there to read, not to edit; "Verifica di nuovo" shows the data as it is now, down to none.
TEST_F(DeterminationDialogs, VerificaListsWhatCanNeverAnswerAndChecksAgainOnRequest) {
    auto* dialog = OpenWith(Qt::Key_V, "checkDialog");
    auto* findings = dialog->findChild<QTableWidget*>("checkFindings");
    auto* summary = dialog->findChild<QLabel*>("checkSummary");
    const QStringList unreachable = {
        "Documenti Vendite / Acquisti", "5", "Codice articolo, Cliente, Deposito (Riga)",
        "la riga 6 della matrice (CODA=VITI-M6 INDC=C00012 DEPO=DEP01, conto 40.01.009) non è "
        "mai raggiunta: risponde prima 1. Cliente, Codice articolo"};
    EXPECT_EQ(Row(findings, 3), unreachable) << Column(findings, 3).join("\n").toStdString();
    EXPECT_EQ(summary->text(), "Problemi trovati: 6");
    Screenshot(*dialog, "check.png");
    const QPoint cell = findings->visualItemRect(findings->item(0, 3)).center();
    QTest::mouseClick(findings->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(findings->viewport(), Qt::LeftButton, {}, cell);
    EXPECT_FALSE(findings->findChild<QLineEdit*>()) << "a cell opened for editing";

    auto again = [&] {
        QTest::mouseClick(dialog->findChild<QPushButton*>("checkAgain"), Qt::LeftButton);
    };
    m_.Sql("DELETE FROM MGA1_MATRCPAR WHERE MGA1_ID = 6");
    m_.Sql(
        "INSERT INTO MGA1_MATRCPAR (MGA1_ID, MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_CONTO) "
        "VALUES (90, 1, 99, '1')");
    again();
    EXPECT_EQ(Row(findings, findings->rowCount() - 1),
              QStringList(
                  {"", "", "", "la riga 90 della matrice è del criterio 99, che non esiste più"}));
    EXPECT_EQ(summary->text(), "Problemi trovati: 6");

    m_.Sql("DELETE FROM MGA1_MATRCPAR WHERE MGA1_DITTA_CG18 = 1");
    m_.Sql("DELETE FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = 1");
    again();
    EXPECT_EQ(findings->rowCount(), 0);
    EXPECT_EQ(summary->text(), "Nessun problema trovato");
}

// The walk for the values typed, the criterion that answers selected; a value emptied is no
// value, and with no answer no row is selected. An attribute code the catalogue does not know is
// offered by its code.
TEST_F(DeterminationDialogs, ProvaOffersTheTypesAttributesAndShowsTheWalkToTheAccount) {
    m_.Sql(
        "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
        "MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES (30, 1, 4, 3, 'Ignoto', 'ZZZZ')");
    auto* dialog = OpenWith(Qt::Key_P, "trialDialog");
    auto field = [&](const char* code) {
        return dialog->findChild<QLineEdit*>(QString("value_") + code);
    };
    auto* types = dialog->findChild<QComboBox*>("trialType");
    EXPECT_EQ(types->count(), 7);  // company 1 keeps the account types
    ASSERT_TRUE(field("INDC") && field("CODA") && field("DEPO"));
    QTest::keyClicks(field("INDC"), "C00099");
    QTest::keyClicks(field("CODA"), "VITI-M6");
    QTest::keyClicks(field("DEPO"), "DEP01");
    QTest::keyClick(field("DEPO"), Qt::Key_Return);

    auto* walk = dialog->findChild<QTableWidget*>("trialWalk");
    auto* result = dialog->findChild<QLabel*>("trialResult");
    EXPECT_EQ(Column(walk, 0), QStringList({"1", "2", "3", "4", "5"}));
    EXPECT_EQ(Row(walk, 0),
              QStringList({"1", "Cliente, Codice articolo", "INDC=C00099 CODA=VITI-M6",
                           "nessuna riga con questi valori"}));
    EXPECT_EQ(result->text(),
              "Contropartita 40.01.010, dal criterio 5. Codice articolo, Cliente, Deposito (Riga)");
    EXPECT_THAT(walk->selectionModel()->selectedRows(), ElementsAre(walk->model()->index(4, 0)));
    Screenshot(*dialog, "trial.png");

    QTest::keyClick(field("INDC"), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field("INDC"), Qt::Key_Delete);
    QTest::keyClick(field("INDC"), Qt::Key_Return);
    EXPECT_EQ(Row(walk, 0), QStringList({"1", "Cliente, Codice articolo", "INDC=? CODA=VITI-M6",
                                         "manca il valore di INDC"}));
    EXPECT_EQ(result->text(), "Nessuna contropartita");
    EXPECT_TRUE(walk->selectionModel()->selectedRows().isEmpty());

    // Closing inventory has attributes of its own; a value typed for one both use stays, and one
    // typed for an attribute it does not use is there again back on the first type.
    QTest::keyClicks(field("INDC"), "C00012");
    types->setCurrentIndex(types->findData(4));
    QStringList offered;
    for (auto* f : dialog->findChildren<QLineEdit*>()) {
        auto* form = qobject_cast<QFormLayout*>(f->parentWidget()->layout());
        offered << qobject_cast<QLabel*>(form->labelForField(f))->text() + "=" + f->text();
    }
    EXPECT_EQ(offered, QStringList({"Codice articolo (CODA)=VITI-M6",
                                    "Deposito (Riga) (DEPO)=DEP01", "Famiglia (FAMI)=",
                                    "Sottofamiglia (SFAM)=", "Gruppo (GRUP)=", "ZZZZ (ZZZZ)="}));
    EXPECT_EQ(Row(walk, 0),
              QStringList({"1", "Codice articolo, Deposito (Riga)", "CODA=VITI-M6 DEPO=DEP01",
                           "nessuna riga con questi valori"}));
    types->setCurrentIndex(types->findData(0));
    EXPECT_EQ(field("INDC")->text(), "C00012");
}

TEST_F(DeterminationDialogs, ACompanyChangeClosesThem) {
    Open();
    QPointer<QDialog> check = OpenWith(Qt::Key_V, "checkDialog");
    QPointer<QDialog> trial = OpenWith(Qt::Key_P, "trialDialog");
    auto* companies = Widget<QComboBox>("companies");
    AnswerNextBox(Box::No);
    QTest::keyClick(companies, Qt::Key_Down);
    QCoreApplication::processEvents();
    EXPECT_TRUE(check && check->isVisible() && trial && trial->isVisible());
    EXPECT_EQ(host_->Area()->subWindowList().size(), 1);
    EXPECT_TRUE(companies->currentText().startsWith("1 - "));
    AnswerNextBox(Box::Yes);
    QTest::keyClick(companies, Qt::Key_Down);
    EXPECT_SOON(!check && !trial && host_->Area()->subWindowList().isEmpty());
    EXPECT_TRUE(companies->currentText().startsWith("2 - "));
    const SeenBox change{"Il cambio ditta comporta la chiusura del programma, proseguo ?",
                         framework::kModuleCaption, Box::NoIcon, Box::Yes};
    EXPECT_THAT(shown_, ElementsAre(change, change));

    EXPECT_EQ(OpenWith(Qt::Key_V, "checkDialog")->windowTitle(), "Verifica - Ditta 2");
    auto* types = OpenWith(Qt::Key_P, "trialDialog")->findChild<QComboBox*>("trialType");
    EXPECT_EQ(types->count(), 4);
}

}  // namespace
}  // namespace test
