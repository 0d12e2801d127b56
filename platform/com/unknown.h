#pragma once
// Reference-counted interfaces, smart pointer and the implementation helper.

#include <atomic>
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/com/com_error.h"
#include "platform/com/guid.h"
#include "platform/com/hresult.h"

namespace com {

struct IUnknown {
    static constexpr Guid IID = Guid::Parse("00000000-0000-0000-C000-000000000046");
    virtual HRESULT QueryInterface(const Guid& iid, void** out) noexcept = 0;
    virtual uint32_t AddRef() noexcept = 0;
    virtual uint32_t Release() noexcept = 0;

  protected:
    ~IUnknown() = default;
};

template <class T>
class ComPtr {
  public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    ComPtr(T* p) noexcept : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& o) noexcept : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(const ComPtr<U>& o) noexcept : ComPtr(static_cast<T*>(o.Get())) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& o) noexcept {
        ComPtr(o).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& o) noexcept {
        ComPtr(std::move(o)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) noexcept {
        Reset();
        return *this;
    }

    // Takes over a reference the caller already owns (no AddRef).
    static ComPtr Attach(T* p) noexcept {
        ComPtr r;
        r.p_ = p;
        return r;
    }
    T* Detach() noexcept { return std::exchange(p_, nullptr); }

    void Reset() noexcept {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    void Swap(ComPtr& o) noexcept { std::swap(p_, o.p_); }

    T* Get() const noexcept { return p_; }
    T* operator->() const {
        if (!p_) throw ComError(err::ObjectNotSet);
        return p_;
    }
    T& operator*() const { return *operator->(); }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // Out-parameter slot for calls that hand back a new reference.
    T** Put() noexcept {
        Reset();
        return &p_;
    }

    // Asks the object for another interface; unset when it has none or this is unset.
    template <class U>
    ComPtr<U> As() const noexcept {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(U::IID, reinterpret_cast<void**>(r.Put()));
        return r;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) noexcept { return a.p_ == b.p_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

  private:
    T* p_ = nullptr;
};

// Same object identity: both unset, or the same IUnknown.
bool SameObject(IUnknown* a, IUnknown* b) noexcept;

template <class T, class U>
ComPtr<T> QueryAs(U* p) noexcept {
    ComPtr<T> r;
    if (p) p->QueryInterface(T::IID, reinterpret_cast<void**>(r.Put()));
    return r;
}

// Implements IUnknown for a class that derives from one or more interfaces.
// Usage: class Foo : public ComObject<Foo, IFoo, IBar> { ... };  create with MakeObject<Foo>(...).
template <class Impl, class... Interfaces>
class ComObject : public Interfaces... {
  public:
    HRESULT QueryInterface(const Guid& iid, void** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IUnknown::IID) {
            *out = static_cast<IUnknown*>(static_cast<FirstInterface*>(this));
        } else {
            (TryInterface<Interfaces>(iid, out) || ...);
        }
        if (!*out) return static_cast<Impl*>(this)->QueryOther(iid, out);
        AddRef();
        return S_OK;
    }
    uint32_t AddRef() noexcept override { return ++refs_; }
    uint32_t Release() noexcept override {
        uint32_t n = --refs_;
        if (n == 0) delete static_cast<Impl*>(this);
        return n;
    }

    // The object's identity as IUnknown (the plain conversion is ambiguous with several
    // interfaces).
    IUnknown* GetUnknown() noexcept {
        return static_cast<IUnknown*>(static_cast<FirstInterface*>(this));
    }

    // Interfaces reached through base interfaces (an interface derived from another).
    HRESULT QueryOther(const Guid&, void**) noexcept { return E_NOINTERFACE; }

  protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // Returns this object as the interface I (adds a reference).
    template <class I>
    ComPtr<I> Self() noexcept {
        return ComPtr<I>(static_cast<I*>(static_cast<Impl*>(this)));
    }

  private:
    using FirstInterface = std::tuple_element_t<0, std::tuple<Interfaces...>>;

    template <class I>
    bool TryInterface(const Guid& iid, void** out) noexcept {
        if (iid == I::IID) {
            *out = static_cast<I*>(this);
            return true;
        }
        return TryBases<I>(iid, out);
    }
    // An interface derived from another answers for its base too (one level is enough here).
    template <class I>
    bool TryBases(const Guid& iid, void** out) noexcept {
        if constexpr (requires { typename I::Base; }) {
            if (iid == I::Base::IID) {
                *out = static_cast<typename I::Base*>(static_cast<I*>(this));
                return true;
            }
        }
        return false;
    }

    std::atomic<uint32_t> refs_{0};
};

template <class T, class... Args>
ComPtr<T> MakeObject(Args&&... args) {
    return ComPtr<T>(new T(std::forward<Args>(args)...));
}

}  // namespace com
