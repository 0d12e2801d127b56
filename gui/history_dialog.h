#pragma once
// "Storico": the active company's history of changes, newest first, filtered by criterion and
// period, read a page at a time so that a long history never holds the window up.

#include <QDialog>
#include <map>
#include <optional>

#include "db/history.h"
#include "platform/ado/connection.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace gui {

class HistoryDialog : public QDialog {
  public:
    // The records read at a time.
    static constexpr int64_t kPage = 500;

    // Lists the records of `criterion`, as ShowCriterion does.
    HistoryDialog(ado::Connection& database, int32_t company, std::optional<int32_t> criterion,
                  QWidget* parent);
    // Lists the records of the criterion and its matrix rows (all the company's without one).
    void ShowCriterion(std::optional<int32_t> criterion);
    // Lists the newest records the filters select.
    void Read();
    // Adds the next page of them below the records listed.
    void More();

  private:
    // The company's criteria in the combo, as they are now.
    void LoadCriteria();
    // The filters as the user set them; none when a date is not one (the summary says so).
    std::optional<db::HistoryFilter> Filter();
    void Append(db::HistoryFilter filter);
    void ShowDetail();

    ado::Connection& database_;
    int32_t company_;
    QComboBox* criteria_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPlainTextEdit* detail_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* more_ = nullptr;
    std::map<int32_t, QString> labels_;  // the criteria by key, those deleted since kept
    db::HistoryFilter listed_;           // the filter of the records listed
    std::optional<int64_t> last_;        // the key of the last record listed
};

}  // namespace gui
