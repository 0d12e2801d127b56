// Events and the failure helpers.

#include <gmock/gmock.h>

#include "platform/com/events.h"
#include "platform/com/failure.h"
#include "tests/support/error_matchers.h"

namespace {

struct IPing : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("11111111-2222-3333-4444-555555555555");
    virtual com::HRESULT Ping(int value) noexcept = 0;

  protected:
    ~IPing() = default;
};

// Raises Ping to its sinks.
class Widget : public com::ComObject<Widget, com::IEventSource> {
  public:
    void Fire(int value) {
        sinks_.Raise([&](IPing* s) { return s->Ping(value); });
    }
    com::HRESULT Advise(const com::Guid& iid, com::IUnknown* sink,
                        uint32_t* cookie) noexcept override {
        return sinks_.Advise(iid, sink, cookie);
    }
    com::HRESULT Unadvise(uint32_t cookie) noexcept override { return sinks_.Unadvise(cookie); }

  private:
    com::EventSinks<IPing> sinks_;
};

// Keeps the last value, after running onPing.
class Listener : public com::ComObject<Listener, IPing> {
  public:
    com::HRESULT Ping(int value) noexcept override {
        return com::Guard([&] {
            if (onPing) onPing();
            last = value;
        });
    }
    int last = 0;
    std::function<void()> onPing;
};

TEST(Runtime, EverySinkHearsAnEventAndTheFirstFailureComesBackToTheSource) {
    auto w = com::MakeObject<Widget>();
    auto a = com::MakeObject<Listener>(), b = com::MakeObject<Listener>();
    com::EventConnection ca, cb;
    ASSERT_TRUE(ca.Connect<IPing>(w->GetUnknown(), a.Get()));
    ASSERT_TRUE(cb.Connect<IPing>(w->GetUnknown(), b.Get()));
    a->onPing = [] { throw com::ComError(5, "first"); };
    EXPECT_THAT([&] { w->Fire(3); }, testing_support::FailsWith(5, "first"));
    EXPECT_EQ(b->last, 3);

    // A sink that disconnects another while the event is delivered: the other is not called.
    a->onPing = [&] { cb.Reset(); };
    w->Fire(7);
    EXPECT_EQ(b->last, 3);

    // A subscription holds no reference to its sink.
    ca.Reset();
    EXPECT_EQ(a->AddRef(), 2u);
    a->Release();
}

TEST(Runtime, AStepThatFailsLeavesItsErrorAndTheReportGetsTheFirstFailure) {
    com::Err().Clear();
    EXPECT_FALSE(com::Step([] { throw com::ComError(com::err::ObjectNotSet); }));
    EXPECT_TRUE(com::Step([] {}));
    EXPECT_EQ(com::Err().Number(), com::err::ObjectNotSet);

    std::string reported;
    com::ReportAndClose([] { throw std::runtime_error("disk full"); },
                        [&](const com::ComError& e) { reported = e.Description(); });
    EXPECT_EQ(reported, "disk full");
}

}  // namespace
