// The record frame's events: defaults of a new criterion, end-of-type priorities, renumbering
// and reload after a save or a delete, the guard on the counter-account rows, the editor kept
// in step with the current row. A failure goes back to the frame as the event's status.

#include <algorithm>

#include "contracts/cinterface_access.h"
#include "host/mod_quintab.h"
#include "platform/com/dispatch.h"
#include "platform/ui/toolkit.h"
#include "window/criteria_statements.h"
#include "window/frm_mgquintab.h"

namespace dravel {

namespace {

constexpr const char* kDeleteQuestion = "Eliminare tutti i conti collagati con questo criterio?";
constexpr const char* kDeleteTitle = "Elimina riga";
constexpr const char* kStructureRequired = "Obbligatorio scegliere un campo !!";
constexpr int32_t kYesNoQuestionSecond = 292;

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

void FRM_MGQUINTAB::FME_PARENT_AfterAddNew(int32_t operationResult) {
    if (operationResult != host::kOperationSucceeded) return;
    ResetFieldEditor();
    auto row = FME_PARENT->Recordset();
    row->Fields("MGA0_INDPRIOR").SetValue(com::Variant(NextPriority(0)));
    row->Fields("MGA0_FLGRESO").SetValue(com::Variant(int32_t{0}));
    row->Fields("MGA0_DITTA_CG18").SetValue(CompanyCode);
}

// A new row, or a row whose type changed, goes to the end of its type; a row that keeps its
// type keeps the priority the user gave it. Never cancels.
void FRM_MGQUINTAB::FME_PARENT_BeforeUpdate(com::VARIANT_BOOL&) {
    int32_t status = FME_PARENT->Status();
    if (status == host::frame_status::New) {
        PlaceAtEndOfSelectedType();
    } else if (status == host::frame_status::Existing) {
        auto type = FME_PARENT->Recordset()->Fields("MGA0_FLGRESO");
        if (ValuesDiffer(type.Value(), type.UnderlyingValue())) PlaceAtEndOfSelectedType();
    }
}

void FRM_MGQUINTAB::FME_PARENT_AfterUpdate(int32_t operationResult) {
    if (operationResult != host::kOperationSucceeded) return;
    int32_t savedKey = CriteriaRecordset->Fields("MGA0_ID").Value().ToLong();
    RenumberPriorities(0);
    RenumberPriorities(1);
    ReloadCriteria();
    FME_PARENT->SetModified(false);

    auto finder = CriteriaRecordset->Clone();
    bool found = false;
    if (!(finder->Bof() && finder->Eof())) {
        finder->MoveFirst();
        while (!finder->Eof() && !(found = com::Variant::Equal(finder->Fields("MGA0_ID").Value(),
                                                               com::Variant(savedKey))))
            finder->MoveNext();
    }
    FME_PARENT->SetModified(false);
    // A key no longer listed (another user deleted the row) leaves the frame on the row the
    // reload put it on.
    if (found) FME_PARENT->Recordset()->SetAbsolutePosition(finder->AbsolutePosition());
    FME_PARENT->RefreshRow(true, true);
    FME_PARENT->SetModified(false);
}

// The counter-account rows of the criterion go first, and only when the user agrees; a
// refusal keeps both the rows and the criterion.
void FRM_MGQUINTAB::FME_PARENT_BeforeDelete(com::VARIANT_BOOL& cancel) {
    auto matrixRows = [&](auto statement) {
        auto row = FME_PARENT->Recordset();
        return statement(row->Fields("MGA0_DITTA_CG18").Value(), row->Fields("MGA0_ID").Value());
    };
    auto guard = GconConnect->Execute(matrixRows(MatrixGuardQuery));
    if (guard->RecordCount() != 0) {
        std::string title = kDeleteTitle;
        if (ShowMessage(kDeleteQuestion, kYesNoQuestionSecond, title, "") == ui::mb::AnswerYes) {
            GconConnect->Execute(matrixRows(MatrixDeleteStatement));
        } else {
            cancel = com::VARIANT_TRUE;
        }
    }
    guard->Close();
}

void FRM_MGQUINTAB::FME_PARENT_AfterDelete(int32_t operationResult) {
    if (operationResult != host::kOperationSucceeded) return;
    int32_t position = CriteriaRecordset->AbsolutePosition();
    // The combo shows no type when the list is now empty or the new current row has a type it
    // does not offer: there is no type to renumber then, but the list is still reloaded.
    if (CBO_TIPO->SelectedIndex() >= 0) RenumberPriorities(SelectedPostingType());
    ReloadCriteria();
    FME_PARENT->SetModified(false);
    // The deleted row may have been the last one: the frame then stands on the new last row.
    int32_t count = CriteriaRecordset->RecordCount();
    if (count > 0) CriteriaRecordset->SetAbsolutePosition(std::clamp(position, 1, count));
}

void FRM_MGQUINTAB::FME_PARENT_AfterUndo(int32_t) {}

// Every move, whatever its outcome, shows the current row's structure in the editor.
void FRM_MGQUINTAB::FME_PARENT_AfterMove(int32_t, int32_t) {
    ResetFieldEditor();
    auto row = FME_PARENT->Recordset();
    std::string structure;
    if (!row->Bof() && !row->Eof()) {
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
