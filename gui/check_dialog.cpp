#include "gui/check_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "determination/report.h"
#include "gui/determination_view.h"
#include "gui/guarded.h"
#include "gui/ui_text.h"

namespace gui {

CheckDialog::CheckDialog(ado::Connection& database, int32_t company, QWidget* parent)
    : QDialog(parent), database_(database), company_(company) {
    setObjectName("checkDialog");
    setWindowTitle(CompanyTitle("Verifica", company));
    summary_ = new QLabel(this);
    summary_->setObjectName("checkSummary");
    table_ = NewResultTable(this, "checkFindings",
                            {Tr("Tipo"), Tr("Priorità"), Tr("Descrizione"), Tr("Problema")}, 3);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Tr("Chiudi"), QDialogButtonBox::RejectRole);
    auto* again = buttons->addButton(Tr("Verifica di nuovo"), QDialogButtonBox::ActionRole);
    again->setObjectName("checkAgain");
    connect(again, &QPushButton::clicked, this, &CheckDialog::Run);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(1200, 440);
    Run();
}

void CheckDialog::Run() {
    Guarded(Utf8(windowTitle()), [&] {
        auto findings = determination::Check(database_, company_);
        const auto translate = Translator();
        table_->setRowCount(static_cast<int>(findings.size()));
        for (int row = 0; row < table_->rowCount(); ++row) {
            const auto& f = findings[static_cast<size_t>(row)];
            QStringList cells;
            if (f.criterion)
                cells << Qs(determination::TypeLabel(f.criterion->type, translate))
                      << Qs(determination::PriorityText(*f.criterion))
                      << Qs(f.criterion->description);
            else
                cells << QString() << QString() << QString();
            cells << Qs(determination::FindingText(f, translate));
            SetRow(*table_, row, cells);
        }
        summary_->setText(findings.empty() ? Tr("Nessun problema trovato")
                                           : Tr("Problemi trovati: %1").arg(findings.size()));
    });
}

}  // namespace gui
