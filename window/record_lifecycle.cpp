// The record frame's events: defaults of a new criterion, end-of-type priorities, renumbering
// and reload after a save or a delete, the guard on the counter-account rows, the editor kept
// in step with the current row. A failure goes back to the frame as the event's status.

#include <algorithm>
#include <climits>
#include <optional>

#include "contracts/cinterface_access.h"
#include "host/mod_quintab.h"
#include "platform/com/dispatch.h"
#include "platform/com/placeholders.h"
#include "platform/ui/toolkit.h"
#include "window/criteria_statements.h"
#include "window/frm_mgquintab.h"

namespace dravel {

namespace {

constexpr const char* kDeleteQuestion = "Eliminare tutti i conti collagati con questo criterio?";
constexpr const char* kDeleteTitle = "Elimina riga";
constexpr const char* kStructureRequired = "Obbligatorio scegliere un campo !!";
// Yes and No, No the default.
constexpr int32_t kQuestionFlags = ui::mb::YesNo + ui::mb::Question + ui::mb::DefaultButton2;
constexpr const char* kStructureTitle = "Cambio struttura";
constexpr const char* kStructureQuestion =
    "Il criterio ha %1 righe nella matrice contropartite: cambiando la struttura i loro valori "
    "cambiano significato. Salvare comunque?";
constexpr const char* kStructureRowsAdded =
    "Nel frattempo il criterio ha ricevuto righe nella matrice contropartite (ora %1): cambiando "
    "la struttura i loro valori cambiano significato. Il criterio non è stato salvato.";

// The place past every other: the end of a type.
constexpr int32_t kLastPlace = INT32_MAX;

// Whether a field's value changed, Null against a value included.
bool Changed(const com::Variant& now, const com::Variant& before) {
    return now.IsNull() != before.IsNull() || ValuesDiffer(now, before);
}

// A stored type or priority as a number; none for Null or a value that is no number.
std::optional<int32_t> StoredNumber(const com::Variant& stored) {
    if (stored.IsNull()) return std::nullopt;
    try {
        return stored.ToLong();
    } catch (const com::ComError&) {
        return std::nullopt;
    }
}

}  // namespace

bool ValuesDiffer(const com::Variant& a, const com::Variant& b) {
    auto c = com::Variant::Compare(a, b);
    return c && *c != 0;
}

com::HRESULT FRM_MGQUINTAB::AfterDelete(int32_t operationResult) noexcept {
    return com::Guard([&] { FME_PARENT_AfterDelete(operationResult); });
}
com::HRESULT FRM_MGQUINTAB::AfterUndo(int32_t operationResult) noexcept {
    return com::Guard([&] { FME_PARENT_AfterUndo(operationResult); });
}
com::HRESULT FRM_MGQUINTAB::AfterUpdate(int32_t operationResult) noexcept {
    return com::Guard([&] { FME_PARENT_AfterUpdate(operationResult); });
}
com::HRESULT FRM_MGQUINTAB::BeforeDelete(com::VARIANT_BOOL& cancel) noexcept {
    return com::Guard([&] { FME_PARENT_BeforeDelete(cancel); });
}
com::HRESULT FRM_MGQUINTAB::BeforeUpdate(com::VARIANT_BOOL& cancel) noexcept {
    return com::Guard([&] { FME_PARENT_BeforeUpdate(cancel); });
}
com::HRESULT FRM_MGQUINTAB::AfterAddNew(int32_t operationResult) noexcept {
    return com::Guard([&] { FME_PARENT_AfterAddNew(operationResult); });
}
com::HRESULT FRM_MGQUINTAB::AfterMove(int32_t operationResult, int32_t reason) noexcept {
    return com::Guard([&] { FME_PARENT_AfterMove(operationResult, reason); });
}
com::HRESULT FRM_MGQUINTAB::ChangeStatus(int32_t status, int32_t reason) noexcept {
    return com::Guard([&] { FME_PARENT_ChangeStatus(status, reason); });
}
com::HRESULT FRM_MGQUINTAB::ValidateRecord(com::IUnknown*& control,
                                           std::string& personalizedMessage) noexcept {
    return com::Guard([&] { FME_PARENT_ValidateRecord(control, personalizedMessage); });
}

int32_t FRM_MGQUINTAB::NextPriority(int32_t postingType) {
    auto result = GconConnect->Execute(NextPriorityQuery(CompanyCode, postingType));
    int32_t answer = 1;
    if (!(result->Bof() && result->Eof())) {
        result->MoveFirst();
        for (; !result->Eof(); result->MoveNext())
            answer = result->Fields("ID").Value().ToLong() + 1;
    }
    result->Close();
    return answer;
}

int32_t FRM_MGQUINTAB::SelectedPostingType() {
    return CBO_TIPO->ItemValue(CBO_TIPO->SelectedIndex()).ToLong();
}

void FRM_MGQUINTAB::PlaceAtEndOfSelectedType() {
    FME_PARENT->Recordset()
        ->Fields("MGA0_INDPRIOR")
        .SetValue(com::Variant(NextPriority(SelectedPostingType())));
    FME_PARENT->RefreshRow(true, true);
}

// Each user action that writes reaches the database as one transaction: a save with the row's
// place, the renumbering and the reload; a delete with its counter-account rows, the renumbering
// and the reload. Run as separate statements, a failure between them (a lock, a full disk, a
// constraint of another table, the program killed) lost the counter-account rows of a criterion
// that stayed, or left priorities such as 1, 3. The frame raises the "after" event of every
// operation whose "before" event went through, so that is where the action ends.
void FRM_MGQUINTAB::BeginAction() {
    action_.reset();  // one the frame never ended is rolled back
    action_.emplace(*GconConnect);
}

template <class F>
void FRM_MGQUINTAB::FinishAction(F&& work) {
    try {
        std::forward<F>(work)();
        if (action_) action_->Commit();
    } catch (...) {
        action_.reset();
        throw;
    }
    action_.reset();
}

void FRM_MGQUINTAB::FME_PARENT_AfterAddNew(int32_t operationResult) {
    if (operationResult != host::kOperationSucceeded) return;
    ResetFieldEditor();
    auto row = FME_PARENT->Recordset();
    newRowPriority_ = NextPriority(0);
    row->Fields("MGA0_INDPRIOR").SetValue(com::Variant(newRowPriority_));
    row->Fields("MGA0_FLGRESO").SetValue(com::Variant(int32_t{0}));
    row->Fields("MGA0_DITTA_CG18").SetValue(CompanyCode);
}

bool FRM_MGQUINTAB::ChangesStructure() {
    if (FME_PARENT->Status() != host::frame_status::Existing) return false;
    auto structure = FME_PARENT->Recordset()->Fields("MGA0_STRUTTURACAMPI");
    return TrimToText(structure.Value()).ToText() != TrimToText(structure.OriginalValue()).ToText();
}

int32_t FRM_MGQUINTAB::MatrixRowCount() {
    auto row = FME_PARENT->Recordset();
    auto count = GconConnect->Execute(
        MatrixCountQuery(row->Fields("MGA0_DITTA_CG18").Value(), row->Fields("MGA0_ID").Value()));
    const int32_t n = count->Fields("N").Value().ToLong();
    count->Close();
    return n;
}

// A row whose type changed goes to the end of its type; a row that keeps its type, and a new
// row, take the place the user typed. The action's transaction starts here, so the count of the
// type and the write see the same rows.
//
// The save's before-update otherwise never cancels; a change of structure departs from that to
// protect data: the counter-account rows of the criterion keep their values, which would silently
// come to mean other attributes. The user is asked first, before the transaction (no lock is held
// while the question is on screen); inside it the rows are counted again, and rows that another
// user added meanwhile refuse the save. Either refusal keeps the edit on screen.
void FRM_MGQUINTAB::FME_PARENT_BeforeUpdate(com::VARIANT_BOOL& cancel) {
    auto tell = [&](const char* text, int32_t rows, int32_t flags) {
        std::string title = kStructureTitle;
        return ShowMessage(com::FillPlaceholders(TranslateText(text), {std::to_string(rows)}),
                           flags, title, "");
    };
    std::optional<int32_t> matrixRows;
    if (ChangesStructure()) {
        matrixRows = MatrixRowCount();
        if (*matrixRows > 0 &&
            tell(kStructureQuestion, *matrixRows, kQuestionFlags) != ui::mb::AnswerYes) {
            cancel = com::VARIANT_TRUE;
            return;
        }
    }
    BeginAction();
    if (matrixRows) {
        if (const int32_t now = MatrixRowCount(); now > *matrixRows) {
            AbandonAction();
            tell(kStructureRowsAdded, now, ui::mb::Exclamation);
            cancel = com::VARIANT_TRUE;
            return;
        }
    }
    pendingSave_ = {};
    int32_t status = FME_PARENT->Status();
    auto row = FME_PARENT->Recordset();
    if (status == host::frame_status::New) {
        // The new row is written at the end of its type, then moved to the place the user typed,
        // as an existing row is, so that the order the user asked for is kept. A priority left
        // as the window gave it asks for no place: the end, even when another user added a
        // criterion meanwhile.
        std::optional<int32_t> typed = StoredNumber(row->Fields("MGA0_INDPRIOR").Value());
        PlaceAtEndOfSelectedType();
        pendingSave_.place = typed && *typed != newRowPriority_ ? *typed : kLastPlace;
    } else if (status == host::frame_status::Existing) {
        auto type = row->Fields("MGA0_FLGRESO");
        com::Variant stored = type.UnderlyingValue();
        pendingSave_.fromType = StoredNumber(stored);
        auto priority = row->Fields("MGA0_INDPRIOR");
        if (ValuesDiffer(type.Value(), stored)) {
            PlaceAtEndOfSelectedType();
            pendingSave_.place = kLastPlace;
        } else if (Changed(priority.Value(), priority.OriginalValue())) {
            // Typed by the user (a priority cleared is no place: the end).
            pendingSave_.place = StoredNumber(priority.Value()).value_or(kLastPlace);
        }
    }
}

// Besides types 0 and 1, the saved row's type and the type it left are numbered 1..n too, so
// that no type collects gaps and repeats, and a typed priority is a place, not a bare number.
// The saved row takes the place asked for first, so that the renumbering after it keeps that
// order; a row whose priority this user left alone keeps its rank (the renumbering).
void FRM_MGQUINTAB::FME_PARENT_AfterUpdate(int32_t operationResult) {
    if (operationResult != host::kOperationSucceeded) return AbandonAction();
    FinishAction([&] {
        int32_t savedKey = CriteriaRecordset->Fields("MGA0_ID").Value().ToLong();
        // As stored: a type another user gave the row meanwhile counts.
        std::optional<int32_t> savedType =
            StoredNumber(CriteriaRecordset->Fields("MGA0_FLGRESO").UnderlyingValue());
        if (savedType && pendingSave_.place)
            PlaceSavedCriterion(savedKey, *savedType, *pendingSave_.place);
        else if (savedType > 1)
            RenumberPriorities(*savedType);
        RenumberPriorities(0);
        RenumberPriorities(1);
        const auto fromType = pendingSave_.fromType;
        if (fromType > 1 && fromType != savedType) RenumberPriorities(*fromType);
        // Deliberately cleared after each call that redraws the row: the frame does not promise
        // which of them may mark the row as edited.
        ReloadCriteria();
        FME_PARENT->SetModified(false);

        const int32_t position = ListedPosition(savedKey);
        FME_PARENT->SetModified(false);
        // A key no longer listed (another user deleted the row) leaves the frame on the row the
        // reload put it on.
        if (position) FME_PARENT->Recordset()->SetAbsolutePosition(position);
        FME_PARENT->RefreshRow(true, true);
        FME_PARENT->SetModified(false);
    });
}

// Within 1..n: 0 is the first place, a number past the end the last.
void FRM_MGQUINTAB::PlaceSavedCriterion(int32_t criterionId, int32_t postingType, int32_t place) {
    auto size = GconConnect->Execute(TypeSizeQuery(CompanyCode, postingType));
    int32_t count = size->Fields("N").Value().ToLong();
    size->Close();
    if (count == 0) return;  // the row is not the company's
    for (const auto& statement :
         PlaceStatements(GconConnect->SqlDialect(), CompanyCode, postingType, criterionId,
                         std::clamp(place, 1, count)))
        GconConnect->Execute(statement, nullptr, ado::adExecuteNoRecords);
}

// The counter-account rows of the criterion go first, and only when the user agrees; a
// refusal keeps both the rows and the criterion. No transaction is open while the user is asked,
// so that nobody else waits on this window's answer.
void FRM_MGQUINTAB::FME_PARENT_BeforeDelete(com::VARIANT_BOOL& cancel) {
    auto row = FME_PARENT->Recordset();
    deletedType_ = StoredNumber(row->Fields("MGA0_FLGRESO").OriginalValue());
    auto matrixRows = [&](auto statement) {
        return statement(row->Fields("MGA0_DITTA_CG18").Value(), row->Fields("MGA0_ID").Value());
    };
    BeginAction();
    auto guard = GconConnect->Execute(matrixRows(MatrixGuardQuery));
    if (guard->RecordCount() != 0) {
        AbandonAction();
        std::string title = kDeleteTitle;
        if (ShowMessage(kDeleteQuestion, kQuestionFlags, title, "") == ui::mb::AnswerYes) {
            BeginAction();
            GconConnect->Execute(matrixRows(MatrixDeleteStatement));
        } else {
            cancel = com::VARIANT_TRUE;
        }
    }
    guard->Close();
}

// The deleted row's type is renumbered as well as the type the combo shows now, which is the
// type of the row the frame moved to.
void FRM_MGQUINTAB::FME_PARENT_AfterDelete(int32_t operationResult) {
    if (operationResult != host::kOperationSucceeded) return AbandonAction();
    FinishAction([&] {
        int32_t position = CriteriaRecordset->AbsolutePosition();
        // The combo shows no type when the list is now empty or the new current row has a type
        // it does not offer: there is no type to renumber then, but the list is still reloaded.
        std::optional<int32_t> shown;
        if (CBO_TIPO->SelectedIndex() >= 0) shown = SelectedPostingType();
        if (shown) RenumberPriorities(*shown);
        if (deletedType_ && deletedType_ != shown) RenumberPriorities(*deletedType_);
        ReloadCriteria();
        FME_PARENT->SetModified(false);
        // The deleted row may have been the last one: the frame then stands on the new last row.
        int32_t count = CriteriaRecordset->RecordCount();
        if (count > 0) CriteriaRecordset->SetAbsolutePosition(std::clamp(position, 1, count));
    });
}

void FRM_MGQUINTAB::FME_PARENT_AfterUndo(int32_t) {}

// Every move, whatever its outcome, shows the current row's structure in the editor.
void FRM_MGQUINTAB::FME_PARENT_AfterMove(int32_t, int32_t) {
    ResetFieldEditor();
    auto row = FME_PARENT->Recordset();
    std::string structure;
    // A list that could not be read again (the server went away during a delete) is closed: it
    // has no row, and no structure to show.
    if (row->State() == ado::adStateOpen && !row->Bof() && !row->Eof()) {
        com::Variant stored = row->Fields("MGA0_STRUTTURACAMPI").Value();
        if (!stored.IsNull()) structure = stored.ToText();
    }
    LoadStructure(structure);
}

void FRM_MGQUINTAB::FME_PARENT_ChangeStatus(int32_t status, int32_t) {
    TXT_DESCR->SetAvailable(status == host::frame_status::Existing);
    if (status == host::frame_status::New) {
        TXT_DESCR->SetAvailable(true);
        TXT_DESCR->FocusField();
    }
}

// Supplies the message for a criterion without any chosen field; cancels nothing.
void FRM_MGQUINTAB::FME_PARENT_ValidateRecord(com::IUnknown*& control,
                                              std::string& personalizedMessage) {
    if (!control) return;
    if (com::GetProperty(control, "DBField").ToText() != "MGA0_STRUTTURACAMPI") return;
    if (!TrimToText(com::GetProperty(control, "Text")).ToText().empty()) return;
    personalizedMessage = TranslateText(kStructureRequired);
    TVW_FIELDS->SetFocus();
}

}  // namespace dravel
