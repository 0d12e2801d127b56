// The window's own texts as the user reads them: in English, Qt's own and the dialogs' (the
// Italian ones are the other widget tests'), and captions never cut, whatever font the machine
// has.

#include "tests/gui/gui_test.h"

namespace test {
namespace {

class InEnglish : public GuiTest {
  protected:
    InEnglish() { language_ = "en"; }
};

TEST_F(InEnglish, QtsOwnButtonsAndVerificaSpeakEnglish) {
    Open();
    ClickLine(1);  // criterion 1 has counter-account rows
    AnswerNextBox(Box::No);
    Press("Elimina");
    ASSERT_EQ(buttons_.size(), 1u);
    EXPECT_THAT(buttons_.front(), ::testing::UnorderedElementsAre("&Yes", "&No"));
    auto* findings = OpenWith(Qt::Key_V, "checkDialog")->findChild<QTableWidget*>("checkFindings");
    EXPECT_TRUE(Column(findings, 3).contains("no matrix rows: it never answers"));
}

// The layout was drawn for one narrow font; another family (a machine without it) draws the
// captions smaller rather than cut them.
TEST_F(GuiTest, NoLabelIsWiderThanItsBoxInAnotherFontFamily) {
    Open();
    auto* form = Widget("FRM_MGQUINTAB");
    QFont wide = form->font();
    wide.setFamilies({"DejaVu Sans"});
    form->setFont(wide);
    int labels = 0;
    for (auto* label : form->findChildren<QLabel*>()) {
        if (!label->isVisible()) continue;
        ++labels;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                  label->contentsRect().width())
            << label->text().toStdString();
    }
    EXPECT_GE(labels, 6);
}

// A field takes as many characters as its column holds, counted as the column counts them: an
// emoji is one character (two UTF-16 units).
TEST_F(GuiTest, FieldsTakeTheirWidthInCharactersAsTheColumnsCount) {
    Open();
    ClickLine(1);
    // One key event per character, as a keyboard sends text beyond ASCII.
    auto type = [](QWidget* field, const QString& text) {
        for (char32_t c : text.toUcs4())
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                                Qt::NoModifier);
    };
    auto* description = Widget<QLineEdit>("TXT_DESCR");
    QTest::mouseClick(description, Qt::LeftButton);
    QTest::keyClick(description, Qt::Key_A, Qt::ControlModifier);
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    type(description, emoji.repeated(255) + "x" + emoji);
    EXPECT_EQ(description->text(), emoji.repeated(255));
    Press("Conferma");
    EXPECT_EQ(m_.Query("SELECT LENGTH(MGA0_DESCR) FROM MGA0_QUINTAB WHERE MGA0_ID = 1"), "255");
}

}  // namespace
}  // namespace test
