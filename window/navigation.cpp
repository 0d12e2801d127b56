// The navigation bar's buttons, the description refresh button, and the dispatch of the
// window's toolbars to their handlers.

#include "contracts/cinterface_access.h"
#include "host/mod_quintab.h"
#include "platform/com/failure.h"
#include "window/frm_mgquintab.h"

namespace dravel {

namespace nav_key = host::nav_key;

// A failure of a button handler is logged, and also goes back to the control that raised the
// event; the window stays open.
template <class F>
com::HRESULT FRM_MGQUINTAB::GuardAndReport(const char* procedure, F&& body) noexcept {
    return com::Guard([&] {
        try {
            std::forward<F>(body)();
        } catch (...) {
            ReportFailure(com::CurrentError(), procedure);
            throw;
        }
    });
}

com::HRESULT FRM_MGQUINTAB::ButtonAction(int32_t flag, const std::string& key) noexcept {
    return GuardAndReport("INTERNAV_ButtonAction", [&] { INTERNAV_ButtonAction(flag, key); });
}

com::HRESULT FRM_MGQUINTAB::ButtonClick(host::IToolbar* toolbar) noexcept {
    auto is = [&](const com::ComPtr<host::IToolbar>& t) {
        return com::SameObject(t.Get(), toolbar);
    };
    auto in = [&](const ToolbarPair& pair) { return is(pair[0]) || is(pair[1]); };
    if (is(TBR_REFRESH))
        return GuardAndReport("TBR_REFRESH_ButtonClick", [&] { TBR_REFRESH_ButtonClick(); });
    return com::Guard([&] {
        int16_t index = toolbar->Index();
        if (in(TBAR_PRIORITY)) TBAR_PRIORITY_ButtonClick(index);
        if (in(TBAR_SELECT)) TBAR_SELECT_ButtonClick(index);
        if (in(TBAR_FIELDS)) TBAR_FIELDS_ButtonClick(index);
    });
}

void FRM_MGQUINTAB::INTERNAV_ButtonAction(int32_t flag, const std::string& key) {
    if (flag != -1) return;
    if (key == nav_key::New) {
        TXT_DESCR->FocusField();
    } else if (key == nav_key::Confirm) {
        QGRID->SetFocus();
    } else if (key == nav_key::Export) {
        if (!FME_PARENT->SaveRecord(true, true, true)) return;
        com::VariantArray data{TrimToText(com::Variant(TXT_STRUT->Text()))};
        com::Variant ignored;
        com::Check(ActiveInterface->TransferData(com::Variant(std::move(data)), &ignored));
        Unload();
    } else if (key == nav_key::Next) {
        FME_PARENT->MoveNext(true, true);
    } else if (key == nav_key::Previous) {
        FME_PARENT->MovePrevious(true, true);
    }
}

// Writes only the field's text: the frame's Modified stays as it was.
void FRM_MGQUINTAB::TBR_REFRESH_ButtonClick() {
    TXT_DESCR->SetText("");
    TXT_DESCR->SetText(ComposedDescription());
}

}  // namespace dravel
