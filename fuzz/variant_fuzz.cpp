// Variant conversion from text: ParseNumber, the numeric and Boolean conversions, Compare, and
// the text form of doubles read back.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/com/com_error.h"
#include "platform/com/variant.h"

using com::Variant;
namespace err = com::err;

namespace {

// The error number `f` fails with; 0 when it succeeds.
template <class F>
int ErrorOf(F&& f) {
    try {
        f();
    } catch (const com::ComError& e) {
        return e.Number();
    }
    return 0;
}

// A narrowing conversion of a number the text holds: the exact rounded value, or error 6 when
// that is out of range.
template <class T>
void CheckNarrowing(const Variant& v, double number) {
    const double rounded = com::RoundHalfEven(number);
    T got{};
    const int error = ErrorOf([&] {
        if constexpr (sizeof(T) == 2)
            got = v.ToInteger();
        else
            got = v.ToLong();
    });
    if (rounded >= std::numeric_limits<T>::min() && rounded <= std::numeric_limits<T>::max())
        FUZZ_CHECK(error == 0 && static_cast<double>(got) == rounded);
    else
        FUZZ_CHECK(error == err::Overflow);
}

void CheckText(const std::string& text) {
    Variant v(text);
    const std::optional<double> number = com::ParseNumber(text);
    double d = 0;
    const int error = ErrorOf([&] { d = v.ToDouble(); });
    if (number) {
        // The C library reads the same decimal texts (the "C" locale here): it must take the
        // whole text, and where it finds a finite number so must ParseNumber.
        std::string trimmed(text);
        trimmed.erase(0, trimmed.find_first_not_of(" \t"));
        trimmed.erase(trimmed.find_last_not_of(" \t") + 1);
        char* end = nullptr;
        const double reference = std::strtod(trimmed.c_str(), &end);
        FUZZ_CHECK(end == trimmed.c_str() + trimmed.size());
        FUZZ_CHECK(std::isinf(reference) || *number == reference);
        if (std::isfinite(*number)) {
            FUZZ_CHECK(error == 0 && d == *number);
            CheckNarrowing<int32_t>(v, *number);
            CheckNarrowing<int16_t>(v, *number);
            FUZZ_CHECK(Variant::Compare(v, Variant(*number)) == 0);
            FUZZ_CHECK(v.ToBool() == (*number != 0));
        } else {
            FUZZ_CHECK(error == err::Overflow);
        }
    } else {
        // Only "True" and "False" are texts of a number without being numbers.
        FUZZ_CHECK(error == err::TypeMismatch || (error == 0 && (d == -1 || d == 0)));
    }
    // The other conversions fail only with the classic numbers.
    for (int e : {ErrorOf([&] { v.ToLong(); }), ErrorOf([&] { v.ToInteger(); })})
        FUZZ_CHECK(e == 0 || e == err::Overflow || e == err::TypeMismatch);
    const int e = ErrorOf([&] { v.ToBool(); });
    FUZZ_CHECK(e == 0 || e == err::TypeMismatch);
}

void CheckCompare(const std::string& a, const std::string& b) {
    Variant va(a), vb(b);
    FUZZ_CHECK(Variant::Compare(va, va) == 0);
    FUZZ_CHECK(Variant::Compare(va, vb) == -*Variant::Compare(vb, va));
    FUZZ_CHECK(!Variant::Compare(va, Variant::Null()));
    // A text against a number: numerically, or error 13 (6 for a number out of range).
    std::optional<int> ab, ba;
    const int e1 = ErrorOf([&] { ab = Variant::Compare(va, Variant(int32_t{7})); });
    const int e2 = ErrorOf([&] { ba = Variant::Compare(Variant(int32_t{7}), va); });
    FUZZ_CHECK(e1 == e2 && (e1 == 0 || e1 == err::TypeMismatch || e1 == err::Overflow));
    FUZZ_CHECK(e1 != 0 || (ab && ba && *ab == -*ba));
}

// The text form of a double, 15 significant digits, names the same number again.
void CheckRoundTrip(double d) {
    if (!std::isfinite(d)) return;
    const std::string text = com::FormatDouble(d);
    const std::optional<double> back = com::ParseNumber(text);
    FUZZ_CHECK(back && std::isfinite(*back) && com::FormatDouble(*back) == text);
    FUZZ_CHECK(std::fabs(*back - d) <= std::fabs(d) * 1e-14);
    FUZZ_CHECK(Variant(d).ToText() == text && Variant(text).ToDouble() == *back);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckText(text);
    const size_t newline = text.find('\n');
    CheckCompare(text.substr(0, newline),
                 newline == std::string::npos ? "" : text.substr(newline + 1));
    if (size >= sizeof(double)) {
        double d;
        std::memcpy(&d, data, sizeof d);
        CheckRoundTrip(d);
    }
    return 0;
}
