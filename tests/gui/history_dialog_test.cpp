// "Storico" lists the active company's records newest first, each readable, filtered by the
// criterion of the window in front, by the one chosen and by the period, a page at a time.

#include "gui/history_dialog.h"
#include "db/history.h"
#include "platform/ado/transaction.h"
#include "tests/gui/gui_test.h"

namespace test {
namespace {

const QString kCriterion1 = "Documenti Vendite / Acquisti, 1. Cliente, Codice articolo";
const QString kCriterion2 =
    "Documenti Vendite / Acquisti, 2. Macrocategoria, Categoria, Famiglia, Sottofamiglia";

class Storico : public GuiTest {
  protected:
    void Write(int32_t company, std::optional<int32_t> criterion, const char* action,
               const char* table, std::optional<int32_t> key, const char* detail) {
        db::WriteHistory(m_.session->Database(), {0, "", "mario", "dravel-host", company, action,
                                                  table, key, criterion, detail});
    }
    QDialog* OpenStorico() { return OpenWith(Qt::Key_S, "historyDialog"); }
    QTableWidget* Records(QDialog* dialog) {
        return dialog->findChild<QTableWidget*>("historyRecords");
    }
};

TEST_F(Storico, ListsTheRecordsOfTheCriterionChosenAndOfThePeriod) {
    Write(1, 1, db::kActionChange, "MGA0_QUINTAB", 1,
          R"({"changed":{"MGA0_DESCR":["Vecchia","Nuova"]}})");
    Write(1, 2, db::kActionDelete, "MGA1_MATRCPAR", 9, R"({"row":{"MGA1_CONTO":"60.01"}})");
    Write(2, 1, db::kActionDelete, "MGA1_MATRCPAR", 8, "{}");  // another company's
    Write(1, 1, db::kActionImport, "MGA1_MATRCPAR", std::nullopt,
          R"({"added":[{"MGA1_CONTO":"70"}]})");
    m_.Sql(
        "UPDATE HOST_STORICO SET STORICO_QUANDO = '2026-03-01 09:15:00.250' WHERE "
        "STORICO_CHIAVE = 1");
    Open();
    ClickLine(1);  // criterion 1
    auto* dialog = OpenStorico();
    auto* records = Records(dialog);
    EXPECT_EQ(Column(records, 3), QStringList({"importa", "modifica"}));
    EXPECT_EQ(Row(records, 1), QStringList({"2026-03-01 09:15:00.250", "mario", "dravel-host",
                                            "modifica", "MGA0_QUINTAB", "1", kCriterion1,
                                            "MGA0_DESCR: \"Vecchia\" → \"Nuova\""}));
    EXPECT_EQ(dialog->findChild<QPlainTextEdit*>("historyDetail")->toPlainText(),
              "Righe aggiunte: 1, con un conto nuovo: 0, tolte: 0.\naggiunta: MGA1_CONTO=\"70\"");

    auto* criteria = dialog->findChild<QComboBox*>("historyCriterion");
    QTest::keyClick(criteria, Qt::Key_Home);  // all the criteria
    EXPECT_EQ(Column(records, 3), QStringList({"importa", "elimina", "modifica"}));
    EXPECT_EQ(Column(records, 6), QStringList({kCriterion1, kCriterion2, kCriterion1}));
    Screenshot(*dialog, "history.png");
    const struct {
        const char *from, *to;
        QStringList actions;
        QString summary;
    } periods[] = {
        {"2026-03-02", "", {"importa", "elimina"}, "Record elencati: 2"},
        {"", "2026-03-01", {"modifica"}, "Record elencati: 1"},
        {"2026-03-01", "2026-02-30", {"modifica"}, "Data non valida: 2026-02-30 (AAAA-MM-GG)"},
    };
    for (const auto& p : periods) {
        SCOPED_TRACE(p.from + std::string(" ") + p.to);
        dialog->findChild<QLineEdit*>("historyFrom")->setText(p.from);
        auto* to = dialog->findChild<QLineEdit*>("historyTo");
        to->setText(p.to);
        QTest::keyClick(to, Qt::Key_Return);
        EXPECT_EQ(Column(records, 3), p.actions);
        EXPECT_EQ(dialog->findChild<QLabel*>("historySummary")->text(), p.summary);
    }
}

// Opened over the matrix window, on its criterion rather than the criteria window's; a page at a
// time; moved to the criteria window's when that one is in front.
TEST_F(Storico, OpensOnTheCriterionOfTheWindowInFrontAPageAtATime) {
    {
        ado::Transaction transaction(m_.session->Database());
        for (int key = 1; key <= gui::HistoryDialog::kPage + 1; ++key)
            Write(1, 1, db::kActionChange, "MGA1_MATRCPAR", key, "{}");
        transaction.Commit();
    }
    Open();
    ClickLine(1);  // criterion 1
    Key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    auto* area = host_->Area();
    EXPECT_SOON(area->activeSubWindow() != area->subWindowList().front());
    area->setActiveSubWindow(area->subWindowList().front());
    ClickLine(2);                                            // the criteria window on criterion 2
    area->setActiveSubWindow(area->subWindowList().back());  // the matrix window, on criterion 1
    auto* dialog = OpenStorico();
    auto* records = Records(dialog);
    auto* more = dialog->findChild<QPushButton*>("historyMore");
    EXPECT_EQ(records->rowCount(), gui::HistoryDialog::kPage);
    EXPECT_EQ(Cell(records, 0, 5), "501");
    EXPECT_TRUE(more->isEnabled());
    QTest::keyClick(more, Qt::Key_Space);
    EXPECT_EQ(records->rowCount(), gui::HistoryDialog::kPage + 1);
    EXPECT_EQ(Cell(records, gui::HistoryDialog::kPage, 5), "1");
    EXPECT_FALSE(more->isEnabled());
    area->setActiveSubWindow(area->subWindowList().front());
    EXPECT_EQ(OpenStorico(), dialog);
    EXPECT_EQ(dialog->findChild<QComboBox*>("historyCriterion")->currentText(), kCriterion2);
    EXPECT_EQ(records->rowCount(), 0);
}

}  // namespace
}  // namespace test
