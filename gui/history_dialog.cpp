#include "gui/history_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "determination/criteria_data.h"
#include "determination/report.h"
#include "framework/history_text.h"
#include "gui/determination_view.h"
#include "gui/guarded.h"
#include "gui/ui_text.h"

namespace gui {

namespace {

enum Column { kWhen, kUser, kProgram, kAction, kTable, kKey, kCriterion, kDetail };

QString Number(const std::optional<int32_t>& value) {
    return value ? QString::number(*value) : QString();
}

// A day field with its caption, "AAAA-MM-GG" shown while it is empty.
QLineEdit* NewDayField(QWidget* parent, const char* name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setPlaceholderText(Tr("AAAA-MM-GG"));
    field->setMaxLength(10);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance("0000-00-00") * 3 / 2);
    return field;
}

}  // namespace

HistoryDialog::HistoryDialog(ado::Connection& database, int32_t company,
                             std::optional<int32_t> criterion, QWidget* parent)
    : QDialog(parent), database_(database), company_(company) {
    setObjectName("historyDialog");
    setWindowTitle(CompanyTitle("Storico", company));
    criteria_ = new QComboBox(this);
    criteria_->setObjectName("historyCriterion");
    criteria_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    from_ = NewDayField(this, "historyFrom");
    to_ = NewDayField(this, "historyTo");
    auto* show = new QPushButton(Tr("&Mostra"), this);
    show->setObjectName("historyShow");
    show->setDefault(true);  // Enter in a day field reads with it
    auto* filters = new QHBoxLayout;
    for (auto [caption, field] : {std::pair<const char*, QWidget*>{"&Criterio", criteria_},
                                  {"&Dal", from_},
                                  {"&Al", to_}}) {
        auto* label = new QLabel(Tr(caption), this);
        label->setBuddy(field);
        filters->addWidget(label);
        filters->addWidget(field);
    }
    filters->addWidget(show);
    filters->addStretch(1);
    table_ = NewResultTable(this, "historyRecords",
                            {Tr("Quando (UTC)"), Tr("Utente"), Tr("Programma"), Tr("Azione"),
                             Tr("Tabella"), Tr("Chiave"), Tr("Criterio"), Tr("Dettaglio")},
                            kDetail);
    // A criterion's label can be long: its column is cut to a width of its own, the label whole
    // in the cell's tip.
    table_->horizontalHeader()->setSectionResizeMode(kCriterion, QHeaderView::Interactive);
    table_->horizontalHeader()->resizeSection(kCriterion, 300);
    table_->setTabKeyNavigation(false);  // Tab goes on to the detail, arrows move in the table
    detail_ = new QPlainTextEdit(this);
    detail_->setObjectName("historyDetail");
    detail_->setReadOnly(true);
    detail_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    detail_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table_);
    split->addWidget(detail_);
    split->setStretchFactor(0, 1);
    summary_ = new QLabel(this);
    summary_->setObjectName("historySummary");
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Tr("Chiudi"), QDialogButtonBox::RejectRole);
    more_ = buttons->addButton(Tr("A&ltri record"), QDialogButtonBox::ActionRole);
    more_->setObjectName("historyMore");
    more_->setAutoDefault(false);
    connect(show, &QPushButton::clicked, this, &HistoryDialog::Read);
    connect(more_, &QPushButton::clicked, this, &HistoryDialog::More);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(criteria_, &QComboBox::activated, this, &HistoryDialog::Read);
    connect(table_, &QTableWidget::currentCellChanged, this, &HistoryDialog::ShowDetail);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(split, 1);
    layout->addWidget(summary_);
    layout->addWidget(buttons);
    resize(1250, 560);
    split->setSizes({420, 120});
    ShowCriterion(criterion);
}

void HistoryDialog::LoadCriteria() {
    criteria_->clear();
    criteria_->addItem(Tr("Tutti i criteri"));
    Guarded(Utf8(windowTitle()), [&] {
        const auto translate = Translator();
        for (const auto& c : determination::LoadCriteria(database_, company_)) {
            labels_[c.id] = Qs(determination::CriterionLabel(c, translate));
            criteria_->addItem(labels_[c.id], c.id);
        }
    });
}

void HistoryDialog::ShowCriterion(std::optional<int32_t> criterion) {
    LoadCriteria();
    criteria_->setCurrentIndex(criterion ? std::max(0, criteria_->findData(*criterion)) : 0);
    Read();
}

std::optional<db::HistoryFilter> HistoryDialog::Filter() {
    db::HistoryFilter filter{.company = company_};
    if (criteria_->currentData().isValid()) filter.criterion = criteria_->currentData().toInt();
    for (auto [field, day] : {std::pair{from_, &filter.since}, std::pair{to_, &filter.until}}) {
        const std::string text = Utf8(field->text().trimmed());
        if (text.empty()) continue;
        if (!db::IsHistoryDay(text)) {
            summary_->setText(Tr("Data non valida: %1 (AAAA-MM-GG)").arg(Qs(text)));
            field->setFocus();
            field->selectAll();
            return std::nullopt;
        }
        *day = text;
    }
    return filter;
}

void HistoryDialog::Read() {
    const auto filter = Filter();
    if (!filter) return;  // the records listed stay
    table_->setRowCount(0);
    detail_->clear();
    listed_ = *filter;
    last_.reset();
    Append(listed_);
    if (table_->rowCount() > 0) table_->setCurrentCell(0, kWhen);
}

void HistoryDialog::More() {
    Append(listed_);
}

void HistoryDialog::Append(db::HistoryFilter filter) {
    more_->setEnabled(false);
    Guarded(Utf8(windowTitle()), [&] {
        filter.before = last_;
        filter.limit = kPage;
        int64_t read = 0;
        db::ReadHistory(database_, filter, [&](const db::HistoryRecord& r) {
            const auto lines = framework::HistoryDetailLines(r.detail);
            QStringList detail;
            for (const auto& line : lines) detail << Qs(line);
            const auto label = r.criterion ? labels_.find(*r.criterion) : labels_.end();
            const int row = table_->rowCount();
            table_->insertRow(row);
            SetRow(
                *table_, row,
                {Qs(r.when), Qs(r.user), Qs(r.program), Tr(r.action), Qs(r.table), Number(r.key),
                 label != labels_.end() ? label->second : Number(r.criterion), detail.join(" · ")});
            table_->item(row, kCriterion)->setToolTip(table_->item(row, kCriterion)->text());
            table_->item(row, kDetail)->setData(Qt::UserRole, detail.join("\n"));
            last_ = r.id;
            ++read;
        });
        more_->setEnabled(read == kPage);
    });
    summary_->setText(
        Tr(more_->isEnabled() ? "Record elencati: %1, ce ne sono altri" : "Record elencati: %1")
            .arg(table_->rowCount()));
}

void HistoryDialog::ShowDetail() {
    auto* item = table_->item(table_->currentRow(), kDetail);
    detail_->setPlainText(item ? item->data(Qt::UserRole).toString() : QString());
}

}  // namespace gui
