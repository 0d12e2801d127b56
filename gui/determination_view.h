#pragma once
// What the determination dialogs share: read-only result tables and the texts in the user's
// language.

#include <QStringList>

#include "determination/report.h"

class QTableWidget;
class QWidget;

namespace gui {

// A table the user reads and selects from, with these column captions: the `stretch` column
// takes the width the others, fitted to their contents, leave.
QTableWidget* NewResultTable(QWidget* parent, const char* name, const QStringList& captions,
                             int stretch);
// Fills one row of the table with read-only cells.
void SetRow(QTableWidget& table, int row, const QStringList& cells);
// The report's texts through the host's text service.
determination::Translate Translator();

}  // namespace gui
