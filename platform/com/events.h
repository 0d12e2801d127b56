#pragma once
// Connection points: an object that raises events keeps its sinks without owning them, so a
// subscription never creates an ownership cycle; the sink disconnects before it goes away.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/com/unknown.h"

namespace com {

// Implemented by every object that raises events; `iid` names the sink interface.
struct IEventSource : IUnknown {
    static constexpr Guid IID = Guid::Parse("B196B284-BAB4-101A-B69C-00AA00341D07");
    virtual HRESULT Advise(const Guid& iid, IUnknown* sink, uint32_t* cookie) noexcept = 0;
    virtual HRESULT Unadvise(uint32_t cookie) noexcept = 0;

  protected:
    ~IEventSource() = default;
};

// The sink list of one event interface.
template <class Sink>
class EventSinks {
  public:
    HRESULT Advise(const Guid& iid, IUnknown* sink, uint32_t* cookie) noexcept {
        if (!sink || !cookie) return E_POINTER;
        if (iid != Sink::IID) return E_NOINTERFACE;
        Sink* s = nullptr;
        if (Failed(sink->QueryInterface(Sink::IID, reinterpret_cast<void**>(&s))) || !s)
            return E_NOINTERFACE;
        s->Release();  // weak: the sink outlives its subscription by contract
        *cookie = ++last_;
        sinks_.push_back({*cookie, s});
        return S_OK;
    }
    HRESULT Unadvise(uint32_t cookie) noexcept {
        auto it = std::find_if(sinks_.begin(), sinks_.end(),
                               [&](const Entry& e) { return e.cookie == cookie; });
        if (it == sinks_.end()) return E_INVALIDARG;
        sinks_.erase(it);
        return S_OK;
    }

    // Calls f(sink) on each sink and throws the first failure after all have been called.
    template <class F>
    void Raise(F&& f) {
        auto copy = sinks_;  // a sink may disconnect while it is called
        HRESULT first = S_OK;
        ComError firstError;
        for (const auto& e : copy) {
            if (std::none_of(sinks_.begin(), sinks_.end(),
                             [&](const Entry& x) { return x.cookie == e.cookie; }))
                continue;
            HRESULT hr = f(e.sink);
            if (Failed(hr) && Succeeded(first)) {
                first = hr;
                firstError = TakeErrorInfo(hr);
            }
        }
        if (Failed(first)) throw firstError;
    }

    bool Empty() const { return sinks_.empty(); }

  private:
    struct Entry {
        uint32_t cookie;
        Sink* sink;
    };
    std::vector<Entry> sinks_;
    uint32_t last_ = 0;
};

// Holds one subscription and ends it when reset or destroyed.
class EventConnection {
  public:
    EventConnection() = default;
    EventConnection(const EventConnection&) = delete;
    EventConnection& operator=(const EventConnection&) = delete;
    EventConnection(EventConnection&& o) noexcept { *this = std::move(o); }
    EventConnection& operator=(EventConnection&& o) noexcept {
        Reset();
        source_ = std::move(o.source_);
        cookie_ = o.cookie_;
        return *this;
    }
    ~EventConnection() { Reset(); }

    // Subscribes `sink` (which implements Sink) to `source`; an object that raises no such
    // events leaves the connection empty and returns false.
    template <class Sink>
    bool Connect(IUnknown* source, Sink* sink) noexcept {
        Reset();
        auto src = QueryAs<IEventSource>(source);
        if (!src) return false;
        uint32_t cookie = 0;
        if (Failed(src->Advise(Sink::IID, sink, &cookie))) return false;
        source_ = src;
        cookie_ = cookie;
        return true;
    }
    void Reset() noexcept {
        if (source_) source_->Unadvise(cookie_);
        source_ = nullptr;
        cookie_ = 0;
    }
    bool Connected() const { return static_cast<bool>(source_); }
    IEventSource* Source() const { return source_.Get(); }

  private:
    ComPtr<IEventSource> source_;
    uint32_t cookie_ = 0;
};

}  // namespace com
