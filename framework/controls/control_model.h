#pragma once
// What every host control model shares: ui::IControl over a ui::ControlState, the window's focus
// handler, and the two mixins for event sources and late binding.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "contracts/controls.h"
#include "platform/com/dispatch.h"
#include "platform/com/events.h"
#include "platform/ui/control.h"
#include "platform/ui/control_model.h"

namespace framework {

using ui::ControlModel;
using ui::RaisesEvents;

// An interface list entry for late binding; the model fills members_ in its constructor.
class LateBound : public com::IDispatch {
  public:
    com::Variant Invoke(std::string_view name, com::CallKind kind,
                        std::vector<com::Variant>& args) override {
        return members_.Invoke(name, kind, args);
    }

  protected:
    ~LateBound() = default;
    com::DispatchTable members_;
};

// The late-bound members of a bound control: DBField and Text (get and put), Name (get).
void AddBoundMembers(com::DispatchTable& members, host::IBoundControl& control,
                     const ui::ControlState& state);

// Shows a failure to the user, in the user's language, with the error icon (ui::mb::Critical); the
// log gets a record of it with what the user does not read (the provider's code and message, the
// statement).
void ShowError(const com::ComError& e, const std::string& title);

// Raises an event of a control for the user's action. A failure that comes back from the
// handler is shown to the user (error icon, the control's name as title) and the control goes on:
// the user's action has happened and there is no caller to hand the failure to.
template <class Sink, class F>
void RaiseForUser(com::EventSinks<Sink>& events, const std::string& controlName, F&& f) {
    try {
        events.Raise(std::forward<F>(f));
    } catch (const com::ComError& e) {
        ShowError(e, controlName);
    }
}

}  // namespace framework
