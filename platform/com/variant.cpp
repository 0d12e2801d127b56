#include "platform/com/variant.h"

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>

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

// A long text: its bytes follow the header in the same allocation, and never change.
struct Variant::TextBlock {
    std::atomic<uint32_t> references;
    uint32_t size;

    char* Chars() { return reinterpret_cast<char*>(this + 1); }
};

struct Variant::ArrayBlock {
    std::atomic<uint32_t> references;
    const VariantArray items;
};

Variant::Variant(std::string_view s) {
    if (s.size() <= kShortText) {
        kind_ = Kind::ShortText;
        std::copy(s.begin(), s.end(), bytes_.begin());
        bytes_[kShortText] = static_cast<char>(s.size());
        return;
    }
    if (s.size() > std::numeric_limits<uint32_t>::max())
        throw ComError(err::OutOfMemory, "A text of 4 GiB or more cannot be held");
    auto* block = new (::operator new(sizeof(TextBlock) + s.size()))
        TextBlock{{1}, static_cast<uint32_t>(s.size())};
    std::copy(s.begin(), s.end(), block->Chars());
    kind_ = Kind::LongText;
    Put(block);
}

Variant::Variant(VariantArray a) : kind_(Kind::Array) {
    Put(new ArrayBlock{{1}, std::move(a)});
}

void Variant::AddReference() noexcept {
    switch (kind_) {
        case Kind::LongText:
            Get<TextBlock*>()->references.fetch_add(1, std::memory_order_relaxed);
            break;
        case Kind::Object:
            if (auto* object = Get<IUnknown*>()) object->AddRef();
            break;
        case Kind::Array:
            Get<ArrayBlock*>()->references.fetch_add(1, std::memory_order_relaxed);
            break;
        default:
            break;
    }
}

void Variant::Release() noexcept {
    switch (kind_) {
        case Kind::LongText: {
            auto* block = Get<TextBlock*>();
            if (block->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
                block->~TextBlock();
                ::operator delete(block);
            }
            break;
        }
        case Kind::Object:
            if (auto* object = Get<IUnknown*>()) object->Release();
            break;
        case Kind::Array: {
            auto* block = Get<ArrayBlock*>();
            if (block->references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete block;
            break;
        }
        default:
            break;
    }
}

std::string_view Variant::Text() const {
    if (kind_ == Kind::ShortText)
        return {bytes_.data(), static_cast<unsigned char>(bytes_[kShortText])};
    auto* block = Get<TextBlock*>();
    return {block->Chars(), block->size};
}

VarType Variant::Type() const {
    switch (kind_) {
        case Kind::Empty:
            return VarType::Empty;
        case Kind::Null:
            return VarType::Null;
        case Kind::Integer:
            return VarType::Integer;
        case Kind::Long:
            return VarType::Long;
        case Kind::Double:
            return VarType::Double;
        case Kind::Boolean:
            return VarType::Boolean;
        case Kind::ShortText:
        case Kind::LongText:
            return VarType::String;
        case Kind::Object:
            return VarType::Object;
        case Kind::Array:
            return VarType::Array;
    }
    return VarType::Empty;
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
            return ParseNumber(Text()).has_value();
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
            return Get<int16_t>();
        case VarType::Long:
            return Get<int32_t>();
        case VarType::Double:
            return Get<double>();
        case VarType::Boolean:
            return Get<bool>() ? -1 : 0;
        case VarType::String: {
            std::string_view s = Text();
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
            return Get<int16_t>();
        case VarType::Long: {
            int32_t l = Get<int32_t>();
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
            return Get<int16_t>();
        case VarType::Long:
            return Get<int32_t>();
        default:
            return NarrowRounded<int32_t>(ToDouble());
    }
}

bool Variant::ToBool() const {
    switch (Type()) {
        case VarType::Boolean:
            return Get<bool>();
        case VarType::String: {
            std::string_view s = Text();
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
            return std::to_string(Get<int16_t>());
        case VarType::Long:
            return std::to_string(Get<int32_t>());
        case VarType::Double:
            return FormatDouble(Get<double>());
        case VarType::Boolean:
            return Get<bool>() ? "True" : "False";
        case VarType::String:
            return std::string(Text());
        default:
            Mismatch();
    }
}

ComPtr<IUnknown> Variant::ToObject() const {
    if (IsEmpty()) return nullptr;
    if (IsObject()) return ComPtr<IUnknown>(Get<IUnknown*>());
    Mismatch();
}

const VariantArray& Variant::ToArray() const {
    if (!IsArray()) Mismatch();
    return Get<ArrayBlock*>()->items;
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
    if (a.Type() != b.Type()) return false;
    switch (a.kind_) {
        case Variant::Kind::Empty:
        case Variant::Kind::Null:
            return true;
        case Variant::Kind::Integer:
            return a.Get<int16_t>() == b.Get<int16_t>();
        case Variant::Kind::Long:
            return a.Get<int32_t>() == b.Get<int32_t>();
        case Variant::Kind::Double:
            return a.Get<double>() == b.Get<double>();
        case Variant::Kind::Boolean:
            return a.Get<bool>() == b.Get<bool>();
        case Variant::Kind::ShortText:
        case Variant::Kind::LongText:
            return a.Text() == b.Text();
        case Variant::Kind::Object:
            return SameObject(a.Get<IUnknown*>(), b.Get<IUnknown*>());
        case Variant::Kind::Array:
            return a.ToArray() == b.ToArray();
    }
    return false;
}

std::optional<int> Variant::Compare(const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return std::nullopt;
    auto cmp = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    bool at = a.IsText(), bt = b.IsText();
    if (at && bt) return cmp(a.Text(), b.Text());
    if (a.IsEmpty() && bt) return cmp(std::string_view(), b.Text());
    if (at && b.IsEmpty()) return cmp(a.Text(), std::string_view());
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
            return "\"" + std::string(Text()) + "\"";
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
