// The determination dialogs of the desktop host on the demo database: what the check finds, and
// the walk to a posting's counter-account for values the user types.

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QTableWidget>

#include "tests/gui/gui_test.h"

namespace test {
namespace {

class DeterminationDialogs : public GuiTest {
  protected:
    // Opens a dialog with the navigator's shortcut and waits until it is shown.
    QDialog* OpenWith(Qt::Key key, const char* name) {
        QTest::keyClick(host_.get(), key, Qt::ControlModifier | Qt::ShiftModifier);
        QDialog* dialog = nullptr;
        Soon([&] { return (dialog = host_->findChild<QDialog*>(name)) && dialog->isVisible(); });
        if (!dialog) throw std::runtime_error(std::string("No dialog ") + name);
        return dialog;
    }
    static QStringList Column(QTableWidget* table, int column) {
        QStringList cells;
        for (int row = 0; row < table->rowCount(); ++row) cells << table->item(row, column)->text();
        return cells;
    }
};

TEST_F(DeterminationDialogs, VerificaListsWhatCanNeverAnswerAndChecksAgainOnRequest) {
    auto* dialog = OpenWith(Qt::Key_V, "checkDialog");
    auto* findings = dialog->findChild<QTableWidget*>("checkFindings");
    const QString unreachable =
        "la riga 6 della matrice non è mai raggiunta: risponde prima 1. Cliente, Codice articolo";
    EXPECT_TRUE(Column(findings, 3).contains(unreachable))
        << Column(findings, 3).join("\n").toStdString();
    Screenshot(*dialog, "check.png");

    m_.Sql("DELETE FROM MGA1_MATRCPAR WHERE MGA1_ID = 6");
    QTest::mouseClick(dialog->findChild<QPushButton*>("checkAgain"), Qt::LeftButton);
    EXPECT_FALSE(Column(findings, 3).contains(unreachable));
}

TEST_F(DeterminationDialogs, ProvaOffersTheTypesAttributesAndShowsTheWalkToTheAccount) {
    auto* dialog = OpenWith(Qt::Key_P, "trialDialog");
    auto field = [&](const char* code) {
        return dialog->findChild<QLineEdit*>(QString("value_") + code);
    };
    ASSERT_TRUE(field("INDC") && field("CODA") && field("DEPO"));
    QTest::keyClicks(field("INDC"), "C00099");
    QTest::keyClicks(field("CODA"), "VITI-M6");
    QTest::keyClicks(field("DEPO"), "DEP01");
    QTest::keyClick(field("DEPO"), Qt::Key_Return);

    auto* walk = dialog->findChild<QTableWidget*>("trialWalk");
    EXPECT_EQ(Column(walk, 0), QStringList({"1", "2", "3", "4", "5"}));
    EXPECT_EQ(walk->item(0, 3)->text(), "nessuna riga con questi valori");
    EXPECT_EQ(dialog->findChild<QLabel*>("trialResult")->text(),
              "Contropartita 40.01.010, dal criterio 5. Codice articolo, Cliente, Deposito (Riga)");
    Screenshot(*dialog, "trial.png");

    // Returns have their own attributes; a value typed for one both use stays.
    auto* types = dialog->findChild<QComboBox*>("trialType");
    types->setCurrentIndex(types->findData(1));
    EXPECT_FALSE(field("INDC"));
    ASSERT_TRUE(field("CODC") && field("CODA"));
    EXPECT_EQ(field("CODA")->text(), "VITI-M6");
}

}  // namespace
}  // namespace test
