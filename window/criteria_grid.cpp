// The posting types, the type combo, the criteria grid and the reload of the list.

#include <string>

#include "contracts/cinterface_access.h"
#include "contracts/host_global.h"
#include "contracts/progids.h"
#include "platform/com/registry.h"
#include "window/frm_mgquintab.h"
#include "window/posting_types.h"

namespace dravel {

namespace {

struct GridColumn {
    const char* column;
    const char* caption;
    int32_t width;
};

constexpr GridColumn kGridColumns[] = {
    {"MGA0_INDPRIOR", "Priorità", 705},
    {"MGA0_FLGRESO", "Tipo", 1100},
    {"MGA0_DESCR", "Descrizione", 5880},
};

}  // namespace

void FRM_MGQUINTAB::FillTypeCombo() {
    CBO_TIPO->ClearList();
    for (const auto& t : kPostingTypes)
        if (t.alwaysOffered) CBO_TIPO->AddEntry(t.label, com::Variant(t.code));
    if (KeepsAccountTypes(HostGlobal()->ActiveCompany()->AccountTypesParameter())) {
        for (const auto& t : kPostingTypes)
            if (!t.alwaysOffered) CBO_TIPO->AddEntry(t.label, com::Variant(t.code));
    }
    CBO_TIPO->SetListSetting(0);
}

void FRM_MGQUINTAB::SetupGrid() {
    auto source = com::CreateObjectAs<host::IGridSource>(host::progid::GridSource);
    source->SetModule(ActiveInterface.Get());
    source->SetRecordset(nullptr);
    source->SetFilter("");
    source->SetLoadMode(0);
    source->SetAutoRefresh(true);
    QGRID->SetSourceObject(source.Get());
    for (const auto& c : kGridColumns) QGRID->AddColumn(c.column, c.caption, 1, c.width, true);
    QGRID->ColumnsDone();
    QGRID->GridReady();
}

com::HRESULT FRM_MGQUINTAB::FormatCell(std::string& text, const std::string& column,
                                       const com::Variant&) noexcept {
    return com::Guard([&] { FormatTypeCell(text, column); });
}

// The type column shows the short label of the stored code; other codes stay as they are.
void FRM_MGQUINTAB::FormatTypeCell(std::string& text, const std::string& column) {
    if (column != "MGA0_FLGRESO") return;
    for (const auto& t : kPostingTypes) {
        if (text == std::to_string(t.code)) {
            text = TranslateText(t.shortLabel);
            return;
        }
    }
}

// Re-reads the same recordset object; neither the grid nor the frame is recreated.
void FRM_MGQUINTAB::ReloadCriteria() {
    FME_PARENT->DetachSource();
    if (CriteriaRecordset->State() == ado::adStateOpen) CriteriaRecordset->Close();
    CriteriaRecordset->Open(CriteriaSql, GconConnect.Get(), -1, -1, -1);
    FME_PARENT->AttachSource(CriteriaSql);
}

int32_t FRM_MGQUINTAB::ListedPosition(int32_t criterionId) {
    auto finder = CriteriaRecordset->Clone();
    if (finder->Bof() && finder->Eof()) return 0;
    // The column found once, not on each of thousands of rows.
    const auto key = finder->Fields("MGA0_ID");
    const com::Variant wanted(criterionId);
    for (finder->MoveFirst(); !finder->Eof(); finder->MoveNext())
        if (com::Variant::Equal(key.Value(), wanted)) return finder->AbsolutePosition();
    return 0;
}

}  // namespace dravel
