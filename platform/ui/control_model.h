#pragma once
// The base of every control model: ui::IControl and the window's focus handler over one
// ControlState, plus a mixin for the events a control raises.

#include <functional>
#include <string>
#include <utility>

#include "platform/com/events.h"
#include "platform/ui/control.h"
#include "platform/ui/control_state.h"

namespace ui {

// Impl names its kind in `static constexpr const char* kKind`. Every visible change ends in
// state_.Changed(), so a view can redraw from the model alone.
template <class Impl, class... Interfaces>
class ControlModel : public com::ComObject<Impl, IControl, IFocusRequester, Interfaces...> {
  public:
    std::string Name() override { return state_.Name(); }
    void SetName(const std::string& name) override { state_.SetName(name); }
    std::string Kind() override { return Impl::kKind; }
    Rect Geometry() override { return state_.Geometry(); }
    void SetGeometry(const Rect& r) override { state_.SetGeometry(r); }
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

    ControlState state_;
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

}  // namespace ui
