#include "framework/controls/control_model.h"

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
    std::string text = e.Description();
    if (text.empty()) text = "Errore " + std::to_string(e.Number());
    ui::MessageBox(text, 16, title);
}

}  // namespace framework
