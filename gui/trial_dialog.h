#pragma once
// "Prova": the user picks a posting type and types attribute values (the attributes the
// company's criteria of that type use, with their captions), and sees which criterion answers
// and the counter-account, criterion by criterion.

#include <QDialog>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/ado/connection.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace gui {

class TrialDialog : public QDialog {
  public:
    // `allTypes`: the company keeps the account types, so all seven types are offered.
    TrialDialog(ado::Connection& database, int32_t company, bool allTypes, QWidget* parent);

    // Offers the attributes of the chosen type's criteria, keeping the values typed so far.
    void ShowAttributes();
    // Walks the chosen type's criteria with the values typed.
    void Run();

  private:
    int32_t ChosenType() const;

    ado::Connection& database_;
    int32_t company_;
    QComboBox* types_ = nullptr;
    QFormLayout* form_ = nullptr;
    std::vector<std::pair<std::string, QLineEdit*>> values_;  // attribute code, its field
    std::map<std::string, QString> typed_;  // every value typed, by code, whatever the type
    QTableWidget* walk_ = nullptr;
    QLabel* result_ = nullptr;
};

}  // namespace gui
