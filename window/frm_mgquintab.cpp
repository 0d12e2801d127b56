#include "window/frm_mgquintab.h"

#include "platform/com/failure.h"

namespace dravel {

com::ComPtr<FRM_MGQUINTAB> FRM_MGQUINTAB::Create() {
    return com::ComPtr<FRM_MGQUINTAB>(new FRM_MGQUINTAB());
}

FRM_MGQUINTAB::FRM_MGQUINTAB() {
    SetName(kWindowName);
    SetCaption("Gestione determinazione contropartite");
}

FRM_MGQUINTAB::~FRM_MGQUINTAB() = default;

void FRM_MGQUINTAB::Form_Load() {}

void FRM_MGQUINTAB::Form_Unload() {
    com::Step([&] {
        if (ActiveInterface) {
            com::Check(ActiveInterface->putref_ActiveDll(nullptr));
        }
    });
    com::Step([&] { com::Check(ActiveInterface->putref_ActiveFrame(nullptr)); });
    com::Step([&] { com::Check(ActiveInterface->putref_Connection(nullptr)); });
    ActiveInterface = nullptr;
    com::Err().Clear();
}

com::ComPtr<com::IUnknown> FRM_MGQUINTAB::GridObject() {
    return nullptr;
}

}  // namespace dravel
