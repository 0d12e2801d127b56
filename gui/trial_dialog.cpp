#include "gui/trial_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

#include "determination/report.h"
#include "gui/determination_view.h"
#include "gui/guarded.h"
#include "gui/ui_text.h"
#include "resources/attribute_catalogue.h"
#include "window/posting_types.h"

namespace gui {

TrialDialog::TrialDialog(ado::Connection& database, int32_t company, bool allTypes, QWidget* parent)
    : QDialog(parent), database_(database), company_(company) {
    setObjectName("trialDialog");
    setWindowTitle(CompanyTitle("Prova", company));
    types_ = new QComboBox(this);
    types_->setObjectName("trialType");
    types_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    types_->setMinimumContentsLength(16);
    for (const auto& t : dravel::kPostingTypes)
        if (t.alwaysOffered || allTypes) types_->addItem(Tr(t.label), t.code);
    auto* values = new QWidget(this);
    form_ = new QFormLayout(values);
    form_->addRow(Tr("Tipo"), types_);
    walk_ =
        NewResultTable(this, "trialWalk",
                       {Tr("Priorità"), Tr("Descrizione"), Tr("Valori cercati"), Tr("Esito")}, 1);
    result_ = new QLabel(this);
    result_->setObjectName("trialResult");
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Tr("Chiudi"), QDialogButtonBox::RejectRole);
    auto* run = buttons->addButton(Tr("Prova"), QDialogButtonBox::ActionRole);
    run->setObjectName("trialRun");
    run->setDefault(true);  // Enter in a value field runs it
    connect(run, &QPushButton::clicked, this, &TrialDialog::Run);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(types_, &QComboBox::currentIndexChanged, this, [this] {
        ShowAttributes();
        Run();
    });
    // The values on the left (a type may use many attributes), the walk beside them.
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(values);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(scroll);
    split->addWidget(walk_);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addWidget(result_);
    layout->addWidget(buttons);
    resize(1150, 520);
    split->setSizes({430, 720});
    ShowAttributes();
}

int32_t TrialDialog::ChosenType() const {
    return types_->currentData().toInt();
}

void TrialDialog::ShowAttributes() {
    Guarded(Utf8(windowTitle()), [&] {
        for (const auto& [code, field] : values_) typed_[code] = field->text();
        while (form_->rowCount() > 1) form_->removeRow(1);
        values_.clear();
        auto criteria = determination::LoadCriteria(database_, company_, ChosenType());
        for (const auto& code : determination::AttributesUsed(criteria)) {
            auto* field = new QLineEdit(typed_[code]);
            field->setObjectName(Qs("value_" + code));
            std::string caption = dravel::AttributeCaption(code);
            form_->addRow(Tr(caption.empty() ? code : caption) + " (" + Qs(code) + ")", field);
            values_.emplace_back(code, field);
        }
    });
}

// A value left empty is no value: the criteria that need it cannot answer.
void TrialDialog::Run() {
    Guarded(Utf8(windowTitle()), [&] {
        determination::AttributeValues values;
        for (const auto& [code, field] : values_)
            if (!field->text().isEmpty()) values[code] = Utf8(field->text());
        auto walk = determination::Resolve(database_, company_, ChosenType(), values);
        const auto translate = Translator();
        walk_->setRowCount(static_cast<int>(walk.steps.size()));
        for (int row = 0; row < walk_->rowCount(); ++row) {
            const auto& step = walk.steps[static_cast<size_t>(row)];
            SetRow(*walk_, row,
                   {Qs(determination::PriorityText(step.criterion)), Qs(step.criterion.description),
                    Qs(determination::LookedForText(step)),
                    Qs(determination::OutcomeText(step, translate))});
        }
        if (walk.Answer())
            walk_->selectRow(walk_->rowCount() - 1);
        else
            walk_->clearSelection();  // the row an earlier walk selected answers no more
        result_->setText(Qs(determination::WalkResult(walk, translate)));
    });
}

}  // namespace gui
