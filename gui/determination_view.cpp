#include "gui/determination_view.h"

#include <QHeaderView>
#include <QTableWidget>

#include "gui/ui_text.h"

namespace gui {

QTableWidget* NewResultTable(QWidget* parent, const char* name, const QStringList& captions,
                             int stretch) {
    auto* table = new QTableWidget(0, static_cast<int>(captions.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(captions);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->setWordWrap(false);
    for (int column = 0; column < captions.size(); ++column)
        table->horizontalHeader()->setSectionResizeMode(
            column, column == stretch ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    return table;
}

void SetRow(QTableWidget& table, int row, const QStringList& cells) {
    for (int column = 0; column < cells.size(); ++column)
        table.setItem(row, column, new QTableWidgetItem(cells[column]));
}

determination::Translate Translator() {
    return [](const std::string& italian) { return Utf8(Tr(italian)); };
}

}  // namespace gui
