// Reference counting, late binding, events and the failure helpers.

#include <gtest/gtest.h>

#include "platform/com/dispatch.h"
#include "platform/com/events.h"
#include "platform/com/failure.h"

namespace {

struct IPing : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("11111111-2222-3333-4444-555555555555");
    virtual com::HRESULT Ping(int value) noexcept = 0;

  protected:
    ~IPing() = default;
};

struct IWidget : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("11111111-2222-3333-4444-555555555556");
    virtual void Fire(int value) = 0;

  protected:
    ~IWidget() = default;
};

int alive = 0;

class Widget : public com::ComObject<Widget, IWidget, com::IEventSource, com::IDispatch> {
  public:
    Widget() {
        ++alive;
        table_.Property(
            "Name", [this] { return com::Variant(name_); },
            [this](const com::Variant& v) { name_ = v.ToText(); });
    }
    ~Widget() override { --alive; }
    void Fire(int value) override {
        sinks_.Raise([&](IPing* s) { return s->Ping(value); });
    }
    com::HRESULT Advise(const com::Guid& iid, com::IUnknown* sink,
                        uint32_t* cookie) noexcept override {
        return sinks_.Advise(iid, sink, cookie);
    }
    com::HRESULT Unadvise(uint32_t cookie) noexcept override { return sinks_.Unadvise(cookie); }
    com::Variant Invoke(std::string_view name, com::CallKind kind,
                        std::vector<com::Variant>& args) override {
        return table_.Invoke(name, kind, args);
    }

  private:
    std::string name_;
    com::DispatchTable table_;
    com::EventSinks<IPing> sinks_;
};

class Listener : public com::ComObject<Listener, IPing> {
  public:
    com::HRESULT Ping(int value) noexcept override {
        return com::Guard([&] {
            if (value < 0) throw com::ComError(5, "negative ping");
            if (onPing) onPing();
            last = value;
        });
    }
    int last = 0;
    std::function<void()> onPing;
};

TEST(Runtime, ObjectsLiveWhileReferencedAndAnswerForTheirInterfaces) {
    {
        auto w = com::ComPtr<Widget>(new Widget());
        auto copy = w;
        EXPECT_EQ(alive, 1);
        EXPECT_TRUE(w.As<com::IDispatch>());
        EXPECT_TRUE(w.As<com::IEventSource>());
        EXPECT_FALSE(w.As<IPing>());
        EXPECT_TRUE(com::SameObject(w.As<com::IDispatch>().Get(), w.As<IWidget>().Get()));
    }
    EXPECT_EQ(alive, 0);
    com::ComPtr<IWidget> unset;
    EXPECT_THROW(unset->Fire(1), com::ComError);
}

TEST(Runtime, LateBindingByNameIgnoresLetterCase) {
    auto w = com::ComPtr<Widget>(new Widget());
    com::PutProperty(w->GetUnknown(), "NAME", com::Variant("telaio"));
    EXPECT_EQ(com::GetProperty(w->GetUnknown(), "name"), com::Variant("telaio"));
    try {
        com::GetProperty(w->GetUnknown(), "Colour");
        FAIL();
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.Number(), 438);
        EXPECT_NE(e.Description().find("Colour"), std::string::npos);
    }
    auto l = com::ComPtr<Listener>(new Listener());
    EXPECT_THROW(com::GetProperty(l->GetUnknown(), "Name"),
                 com::ComError);  // no late binding at all
}

TEST(Runtime, EventsReachSinksAndFailuresComeBackToTheSource) {
    auto w = com::ComPtr<Widget>(new Widget());
    auto a = com::ComPtr<Listener>(new Listener());
    auto b = com::ComPtr<Listener>(new Listener());
    com::EventConnection ca, cb;
    ASSERT_TRUE(ca.Connect<IPing>(w->GetUnknown(), a.Get()));
    ASSERT_TRUE(cb.Connect<IPing>(w->GetUnknown(), b.Get()));
    w->Fire(3);
    EXPECT_EQ(a->last, 3);
    EXPECT_EQ(b->last, 3);

    // Every sink is called; the first failure is then raised with its own description.
    try {
        w->Fire(-1);
        FAIL();
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.Number(), 5);
        EXPECT_EQ(e.Description(), "negative ping");
    }

    // A sink that disconnects another during delivery: the other is not called.
    a->onPing = [&] { cb.Reset(); };
    w->Fire(7);
    EXPECT_EQ(a->last, 7);
    EXPECT_EQ(b->last, 3);

    // Subscriptions hold no reference to the sink.
    ca.Reset();
    EXPECT_EQ(a->AddRef(), 2u);
    a->Release();
}

TEST(Runtime, FailurePatterns) {
    com::Err().Clear();
    int ran = 0;
    EXPECT_FALSE(com::Step([&] { throw com::ComError(91); }));
    EXPECT_TRUE(com::Step([&] { ++ran; }));
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(com::Err().Number(), 91);  // the failed step leaves its error for the caller

    std::string reported;
    com::ReportAndClose(
        [&] {
            ++ran;
            throw std::runtime_error("disk full");
            ++ran;
        },
        [&](const com::ComError& e) { reported = e.Description(); });
    EXPECT_EQ(ran, 2);
    EXPECT_EQ(reported, "disk full");
}

}  // namespace
