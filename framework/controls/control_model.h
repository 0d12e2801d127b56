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
#include "platform/ui/control_state.h"

namespace framework {

// Base of the control models. Impl names its kind in `static constexpr const char* kKind`.
// Every visible change ends in state_.Changed(), so a view can redraw from the model alone.
template <class Impl, class... Interfaces>
class ControlModel : public com::ComObject<Impl, ui::IControl, ui::IFocusRequester, Interfaces...> {
  public:
    std::string Name() override { return state_.Name(); }
    void SetName(const std::string& name) override { state_.SetName(name); }
    std::string Kind() override { return Impl::kKind; }
    ui::Rect Geometry() override { return state_.Geometry(); }
    void SetGeometry(const ui::Rect& r) override { state_.SetGeometry(r); }
    bool Visible() override { return state_.Visible(); }
    void SetVisible(bool on) override { state_.SetVisible(on); }
    bool Enabled() override { return state_.Enabled(); }
    int AddObserver(std::function<void()> changed) override {
        return state_.AddObserver(std::move(changed));
    }
    void RemoveObserver(int id) override { state_.RemoveObserver(id); }
    void SetFocusHandler(std::function<void()> handler) override {
        state_.SetFocusHandler(std::move(handler));
    }

  protected:
    // Stores a setting and tells the observers when it changed.
    template <class T>
    void Set(T& member, T value) {
        if (member == value) return;
        member = std::move(value);
        state_.Changed();
    }

    ui::ControlState state_;
};

// An interface list entry that makes a model an event source of one sink interface; the model
// raises through events_.
template <class Sink>
class RaisesEvents : public com::IEventSource {
  public:
    com::HRESULT Advise(const com::Guid& iid, com::IUnknown* sink,
                        uint32_t* cookie) noexcept override {
        return events_.Advise(iid, sink, cookie);
    }
    com::HRESULT Unadvise(uint32_t cookie) noexcept override { return events_.Unadvise(cookie); }

  protected:
    ~RaisesEvents() = default;
    com::EventSinks<Sink> events_;
};

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

// Shows a failure through the toolkit's message box with the error icon (flags 16).
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
