#include "framework/controls/control_model.h"

#include "framework/log_service.h"
#include "framework/text_service.h"
#include "platform/ui/toolkit.h"

namespace framework {

void AddBoundMembers(com::DispatchTable& members, host::IBoundControl& control,
                     const ui::ControlState& state) {
    members
        .Property(
            "DBField", [&control] { return com::Variant(control.DBField()); },
            [&control](const com::Variant& v) { control.SetDBField(v.ToText()); })
        .Property(
            "Text", [&control] { return com::Variant(control.Text()); },
            [&control](const com::Variant& v) { control.SetText(v.ToText()); })
        .Property("Name", [&state] { return com::Variant(state.Name()); });
}

void ShowError(const com::ComError& e, const std::string& title) {
    LogFailure(e, title, "ShowError");
    // Translated with its values filled in again: a description that names a table is no text
    // of the catalogue, its template is.
    std::string text = e.Description().empty()
                           ? Translated("Errore %1", {std::to_string(e.Number())})
                           : Translated(e.Text(), e.Values());
    PresentMessage(text, ui::mb::Critical, title);
}

}  // namespace framework
