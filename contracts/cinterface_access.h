#pragma once
// Throwing wrappers over Cinterface slots, for code that works with exceptions.

#include "contracts/cinterface.h"

namespace host {

template <class T>
com::ComPtr<T> GetRef(Cinterface* ci, HRESULT (Cinterface::*slot)(T**) noexcept) {
    if (!ci) throw com::ComError(com::err::ObjectNotSet);
    com::ComPtr<T> r;
    com::Check((ci->*slot)(r.Put()));
    return r;
}

template <class T>
T GetValue(Cinterface* ci, HRESULT (Cinterface::*slot)(T*) noexcept) {
    if (!ci) throw com::ComError(com::err::ObjectNotSet);
    T v{};
    com::Check((ci->*slot)(&v));
    return v;
}

template <class T, class A>
void Put(Cinterface* ci, HRESULT (Cinterface::*slot)(A) noexcept, T&& value) {
    if (!ci) throw com::ComError(com::err::ObjectNotSet);
    com::Check((ci->*slot)(std::forward<T>(value)));
}

}  // namespace host
