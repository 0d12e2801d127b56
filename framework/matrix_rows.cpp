// The record frame's events in the matrix window: a new row belongs to the window's company and
// criterion; a save is checked against the criterion as stored now and against the other rows;
// each save and delete, with the reload that follows it, is one transaction.

#include "determination/matrix.h"
#include "framework/matrix_window.h"
#include "framework/text_service.h"
#include "platform/text/text.h"
#include "platform/ui/toolkit.h"

namespace framework {

namespace {

std::string StoredText(const com::Variant& v) {
    return v.IsNull() || v.IsEmpty() ? std::string() : v.ToText();
}

}  // namespace

com::HRESULT MatrixWindow::AfterAddNew(int32_t operationResult) noexcept {
    return com::Guard([&] {
        if (operationResult != host::kOperationSucceeded) return;
        rows_->Fields("MGA1_DITTA_CG18").SetValue(com::Variant(company_));
        rows_->Fields("MGA1_ID_MGA0").SetValue(com::Variant(criterion_->id));
        // The user types the new row's values next, starting with the first.
        for (const auto& name : criterionControls_)
            if (auto field = Control(name).As<host::IEditControl>()) return field->FocusField();
    });
}

// The action's transaction starts here, so that the checks and the write see the same rows; it
// is let go before a refusal is shown, so that nobody waits while the user reads it.
com::HRESULT MatrixWindow::BeforeUpdate(com::VARIANT_BOOL& cancel) noexcept {
    return com::Guard([&] {
        BeginAction();
        const std::string refusal = SaveRefusal();
        if (refusal.empty()) return KeepTrimmed();
        AbandonAction();
        cancel = com::VARIANT_TRUE;
        PresentMessage(refusal, ui::mb::Exclamation, kMatrixCaption);
    });
}

com::HRESULT MatrixWindow::AfterUpdate(int32_t operationResult) noexcept {
    return com::Guard([&] {
        if (operationResult != host::kOperationSucceeded) return AbandonAction();
        FinishAction([&] { ReloadRows(); });
    });
}

com::HRESULT MatrixWindow::BeforeDelete(com::VARIANT_BOOL&) noexcept {
    return com::Guard([&] { BeginAction(); });
}

com::HRESULT MatrixWindow::AfterDelete(int32_t operationResult) noexcept {
    return com::Guard([&] {
        if (operationResult != host::kOperationSucceeded) return AbandonAction();
        FinishAction([&] { ReloadRows(); });
    });
}

void MatrixWindow::BeginAction() {
    action_.reset();  // one the frame never ended is rolled back
    action_.emplace(*connection_);
}

void MatrixWindow::FinishAction(const std::function<void()>& work) {
    try {
        work();
        if (action_) action_->Commit();
    } catch (...) {
        action_.reset();
        throw;
    }
    action_.reset();
}

// The criterion as stored now (another user may have deleted it or changed its structure since
// the fields were made for it), then every fault of the row in one message, then the row that
// already holds its values.
std::string MatrixWindow::SaveRefusal() {
    const std::string id = std::to_string(criterion_->id);
    const auto stored = determination::LoadCriterion(*connection_, company_, criterion_->id);
    if (!stored)
        return Translated(
            "Il criterio %1 è stato eliminato da un altro utente: la riga non è stata salvata.",
            {id});
    if (stored->structure != criterion_->structure)
        return Translated(
            "Un altro utente ha cambiato la struttura del criterio %1: la riga non è "
            "stata salvata. Annullare la modifica e scegliere di nuovo il criterio.",
            {id});
    determination::MatrixRow row;
    const com::Variant key = rows_->Fields("MGA1_ID").Value();
    row.id = key.IsNull() || key.IsEmpty() ? 0 : key.ToLong();
    for (size_t i = 1; i <= criterion_->structure.size(); ++i)
        row.values.push_back(StoredText(rows_->Fields(determination::ValueColumn(i)).Value()));
    row.account = StoredText(rows_->Fields(kAccount).Value());
    std::vector<std::string> reasons;
    for (const auto& fault : determination::RowFaults(*criterion_, row))
        reasons.push_back(determination::RowFaultText(fault, *criterion_, TranslatedText));
    if (!reasons.empty()) return txt::Join(reasons, "\n");
    const auto holders = determination::RowsHolding(*connection_, *criterion_, row.values, row.id);
    if (holders.empty()) return {};
    for (auto& value : row.values) value = determination::KeptText(value);
    return determination::SameValuesText(*criterion_, {holders.front(), row.values, {}},
                                         TranslatedText);
}

// Values and account as typed, without blanks at either end. The row is written matching every
// column as it was read: a row another user saved since is a conflict, whichever column changed.
void MatrixWindow::KeepTrimmed() {
    std::vector<std::string> columns;
    for (size_t i = 1; i <= criterion_->structure.size(); ++i)
        columns.push_back(determination::ValueColumn(i));
    columns.emplace_back(kAccount);
    for (const auto& column : columns) {
        rows_->MatchOnUpdate(column, true);
        auto field = rows_->Fields(column);
        const std::string typed = StoredText(field.Value());
        const std::string kept = determination::KeptText(typed);
        if (kept != typed) field.SetValue(com::Variant(kept));
    }
}

}  // namespace framework
