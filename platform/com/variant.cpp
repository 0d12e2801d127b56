#include "platform/com/variant.h"

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/text/text.h"

namespace com {

namespace {

[[noreturn]] void Mismatch() {
    throw ComError(err::TypeMismatch);
}
[[noreturn]] void NullUse() {
    throw ComError(err::InvalidUseOfNull);
}

template <class T>
T NarrowRounded(double d) {
    if (std::isnan(d)) throw ComError(err::Overflow);
    double r = RoundHalfEven(d);
    if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
        r > static_cast<double>(std::numeric_limits<T>::max()))
        throw ComError(err::Overflow);
    return static_cast<T>(r);
}

// "True"/"False" (any letter case, blanks around) as texts of Booleans.
std::optional<bool> ParseBoolText(std::string_view t) {
    std::string l = txt::Lower(txt::Trim(t));
    if (l == "true") return true;
    if (l == "false") return false;
    return std::nullopt;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a decimal text that from_chars found out of range, which it reports alike for
// too large and too small: the decimal exponent of the first significant digit tells them apart.
// Too small is zero. Too large is infinite, unless it is no more than the largest double as
// FormatDouble rounds it to 15 digits, so that every double's text form reads back.
double OutOfRange(std::string_view t) {
    long exponent = -1;  // of the first significant digit
    bool significant = false;
    size_t i = 0;
    for (; i < t.size() && IsDigit(t[i]); ++i) {
        significant = significant || t[i] != '0';
        if (significant) ++exponent;
    }
    if (i < t.size() && t[i] == '.') {
        for (++i; i < t.size() && IsDigit(t[i]); ++i) {
            if (!significant && t[i] == '0') --exponent;
            significant = significant || t[i] != '0';
        }
    }
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        bool minus = ++i < t.size() && t[i] == '-';
        if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
        long written = 0;
        for (; i < t.size() && IsDigit(t[i]); ++i)
            written = std::min(written * 10 + (t[i] - '0'), 100000L);
        exponent += minus ? -written : written;
    }
    if (exponent < 0) return 0;
    long double wide = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), wide);
    if (ec == std::errc() && wide <= 1.79769313486232e308L)
        return std::numeric_limits<double>::max();
    return HUGE_VAL;
}

}  // namespace

double RoundHalfEven(double d) {
    // nearbyint honours the current rounding mode; the default is round-half-even.
    int mode = std::fegetround();
    if (mode != FE_TONEAREST) std::fesetround(FE_TONEAREST);
    double r = std::nearbyint(d);
    if (mode != FE_TONEAREST) std::fesetround(mode);
    return r;
}

std::optional<double> ParseNumber(std::string_view t) {
    t = txt::Trim(t);
    if (t.empty()) return std::nullopt;
    bool negative = false;
    if (t.front() == '+' || t.front() == '-') {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    if (t.empty() || t.front() == '+' || t.front() == '-') return std::nullopt;
    double value = 0;
    const char* last = t.data() + t.size();
    auto [end, ec] = std::from_chars(t.data(), last, value);
    if (end != last) return std::nullopt;
    if (ec == std::errc::result_out_of_range)
        value = OutOfRange(t);
    else if (ec != std::errc() || std::isnan(value) || std::isinf(value))
        return std::nullopt;  // "nan", "inf" are no numbers
    return negative ? -value : value;
}

std::string FormatDouble(double d) {
    if (d == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    std::string s = buf;
    // Drop trailing zeros of the fraction and the exponent's leading zeros: 1.5E+020 -> 1.5E+20.
    auto e = s.find('E');
    std::string mant = e == std::string::npos ? s : s.substr(0, e);
    std::string expo = e == std::string::npos ? "" : s.substr(e);
    if (mant.find('.') != std::string::npos) {
        while (mant.back() == '0') mant.pop_back();
        if (mant.back() == '.') mant.pop_back();
    }
    if (!expo.empty()) {
        std::string sign(1, expo[1]);
        std::string digits = expo.substr(2);
        while (digits.size() > 2 && digits.front() == '0') digits.erase(0, 1);
        expo = "E" + sign + digits;
    }
    return mant + expo;
}

VarType Variant::Type() const {
    switch (v_.index()) {
        case 0:
            return VarType::Empty;
        case 1:
            return VarType::Null;
        case 2:
            return VarType::Integer;
        case 3:
            return VarType::Long;
        case 4:
            return VarType::Double;
        case 5:
            return VarType::Boolean;
        case 6:
            return VarType::String;
        case 7:
            return VarType::Object;
        default:
            return VarType::Array;
    }
}

bool Variant::IsNumeric() const {
    switch (Type()) {
        case VarType::Empty:
        case VarType::Integer:
        case VarType::Long:
        case VarType::Double:
        case VarType::Boolean:
            return true;
        case VarType::String:
            return ParseNumber(std::get<std::string>(v_)).has_value();
        default:
            return false;
    }
}

double Variant::ToDouble() const {
    switch (Type()) {
        case VarType::Empty:
            return 0;
        case VarType::Null:
            NullUse();
        case VarType::Integer:
            return std::get<int16_t>(v_);
        case VarType::Long:
            return std::get<int32_t>(v_);
        case VarType::Double:
            return std::get<double>(v_);
        case VarType::Boolean:
            return std::get<BoolBox>(v_).value ? -1 : 0;
        case VarType::String: {
            const auto& s = std::get<std::string>(v_);
            if (auto d = ParseNumber(s)) {
                if (std::isinf(*d)) throw ComError(err::Overflow);
                return *d;
            }
            if (auto b = ParseBoolText(s)) return *b ? -1 : 0;
            Mismatch();
        }
        default:
            Mismatch();
    }
}

int16_t Variant::ToInteger() const {
    switch (Type()) {
        case VarType::Integer:
            return std::get<int16_t>(v_);
        case VarType::Long: {
            int32_t l = std::get<int32_t>(v_);
            if (l < INT16_MIN || l > INT16_MAX) throw ComError(err::Overflow);
            return static_cast<int16_t>(l);
        }
        default:
            return NarrowRounded<int16_t>(ToDouble());
    }
}

int32_t Variant::ToLong() const {
    switch (Type()) {
        case VarType::Integer:
            return std::get<int16_t>(v_);
        case VarType::Long:
            return std::get<int32_t>(v_);
        default:
            return NarrowRounded<int32_t>(ToDouble());
    }
}

bool Variant::ToBool() const {
    switch (Type()) {
        case VarType::Boolean:
            return std::get<BoolBox>(v_).value;
        case VarType::String: {
            const auto& s = std::get<std::string>(v_);
            if (auto b = ParseBoolText(s)) return *b;
            if (auto d = ParseNumber(s)) return *d != 0;
            Mismatch();
        }
        default:
            return ToDouble() != 0;
    }
}

std::string Variant::ToText() const {
    switch (Type()) {
        case VarType::Empty:
            return {};
        case VarType::Null:
            NullUse();
        case VarType::Integer:
            return std::to_string(std::get<int16_t>(v_));
        case VarType::Long:
            return std::to_string(std::get<int32_t>(v_));
        case VarType::Double:
            return FormatDouble(std::get<double>(v_));
        case VarType::Boolean:
            return std::get<BoolBox>(v_).value ? "True" : "False";
        case VarType::String:
            return std::get<std::string>(v_);
        default:
            Mismatch();
    }
}

ComPtr<IUnknown> Variant::ToObject() const {
    if (IsEmpty()) return nullptr;
    if (IsObject()) return std::get<ComPtr<IUnknown>>(v_);
    Mismatch();
}

const VariantArray& Variant::ToArray() const {
    if (!IsArray()) Mismatch();
    return *std::get<ArrayPtr>(v_);
}

Variant Variant::ConvertTo(VarType t) const {
    switch (t) {
        case VarType::Empty:
            return Variant();
        case VarType::Null:
            return Null();
        case VarType::Integer:
            return Variant(ToInteger());
        case VarType::Long:
            return Variant(ToLong());
        case VarType::Double:
            return Variant(ToDouble());
        case VarType::Boolean:
            return Variant(ToBool());
        case VarType::String:
            return Variant(ToText());
        case VarType::Object:
            return Variant(ToObject());
        case VarType::Array:
            return Variant(ToArray());
    }
    Mismatch();
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.v_.index() != b.v_.index()) return false;
    if (a.IsObject()) return SameObject(a.ToObject().Get(), b.ToObject().Get());
    if (a.IsArray()) return a.ToArray() == b.ToArray();
    return a.v_ == b.v_;
}

std::optional<int> Variant::Compare(const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return std::nullopt;
    auto cmp = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    bool at = a.IsText(), bt = b.IsText();
    if (at && bt) return cmp(a.ToText(), b.ToText());
    if (a.IsEmpty() && bt) return cmp(std::string(), b.ToText());
    if (at && b.IsEmpty()) return cmp(a.ToText(), std::string());
    if (a.IsObject() || b.IsObject() || a.IsArray() || b.IsArray()) Mismatch();
    // A number against a text: the text must be numeric.
    return cmp(a.ToDouble(), b.ToDouble());
}

std::string Variant::Debug() const {
    switch (Type()) {
        case VarType::Empty:
            return "Empty";
        case VarType::Null:
            return "Null";
        case VarType::String:
            return "\"" + std::get<std::string>(v_) + "\"";
        case VarType::Object:
            return IsObject() && ToObject() ? "Object" : "Nothing";
        case VarType::Array: {
            std::string s = "[";
            for (const auto& e : ToArray()) s += (s.size() > 1 ? ", " : "") + e.Debug();
            return s + "]";
        }
        default:
            return ToText();
    }
}

bool SameObject(IUnknown* a, IUnknown* b) noexcept {
    if (!a || !b) return a == b;
    ComPtr<IUnknown> ia = QueryAs<IUnknown>(a), ib = QueryAs<IUnknown>(b);
    return ia.Get() == ib.Get();
}

}  // namespace com
