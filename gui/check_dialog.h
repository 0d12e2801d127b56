#pragma once
// "Verifica": what in the active company's criteria can never work or never be reached, one
// line per finding, read again on request.

#include <QDialog>

#include "platform/ado/connection.h"

class QLabel;
class QTableWidget;

namespace gui {

class CheckDialog : public QDialog {
  public:
    CheckDialog(ado::Connection& database, int32_t company, QWidget* parent);
    // Checks the company again and shows what was found.
    void Run();

  private:
    ado::Connection& database_;
    int32_t company_;
    QTableWidget* table_ = nullptr;
    QLabel* summary_ = nullptr;
};

}  // namespace gui
