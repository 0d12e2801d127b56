#include "contracts/cinterface_access.h"
#include "contracts/host_global.h"
#include "platform/ui/toolkit.h"
#include "window/frm_mgquintab.h"

namespace dravel {

int32_t FRM_MGQUINTAB::ShowMessage(const std::string& text, int32_t flags, std::string& title,
                                   const std::string& procedure) {
    std::string message = procedure.empty() ? text : text + "\rFunzione: " + procedure;
    if (GclsLog) return GclsLog->LogMessageBox(message, flags, title, -1, 0);
    if (!ActiveInterface) return ui::MessageBox(message, flags, title);
    auto global = host::GetRef(ActiveInterface.Get(), &host::Cinterface::get_ClsGlobal);
    if (!global) return 0;
    auto texts = global->TextService();
    if (!texts) return 0;
    return texts->TextMessageBox(message, flags, title, nullptr);
}

}  // namespace dravel
