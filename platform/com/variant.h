#pragma once
// The automation Variant: Empty, Null, Integer, Long, Double, Boolean, String, Object, Array.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "platform/com/unknown.h"

namespace com {

enum class VarType : uint16_t {
    Empty = 0,
    Null = 1,
    Integer = 2,  // 16-bit
    Long = 3,     // 32-bit
    Double = 5,
    String = 8,
    Object = 9,
    Boolean = 11,
    Array = 0x200C,  // array of Variants
};

class Variant;
using VariantArray = std::vector<Variant>;

class Variant {
  public:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };

    Variant() = default;  // Empty
    static Variant Null() { return Variant(NullTag{}); }
    Variant(NullTag) : v_(NullTag{}) {}
    Variant(int16_t i) : v_(i) {}
    Variant(int32_t i) : v_(i) {}
    Variant(double d) : v_(d) {}
    Variant(bool b) : v_(BoolBox{b}) {}
    Variant(std::string s) : v_(std::move(s)) {}
    Variant(std::string_view s) : v_(std::string(s)) {}
    Variant(const char* s) : v_(std::string(s)) {}
    // Any other pointer would convert to bool and become True: an object goes in as a ComPtr,
    // and a null pointer is no text.
    template <class T, class = std::enable_if_t<!std::is_same_v<std::remove_cv_t<T>, char>>>
    Variant(T*) = delete;
    Variant(std::nullptr_t) = delete;
    Variant(ComPtr<IUnknown> o) : v_(std::move(o)) {}
    Variant(VariantArray a) : v_(std::make_shared<const VariantArray>(std::move(a))) {}
    template <class T, class = std::enable_if_t<std::is_base_of_v<IUnknown, T> &&
                                                !std::is_same_v<T, IUnknown>>>
    Variant(const ComPtr<T>& o) : Variant(QueryAs<IUnknown>(o.Get())) {}

    VarType Type() const;
    bool IsEmpty() const { return v_.index() == 0; }
    bool IsNull() const { return std::holds_alternative<NullTag>(v_); }
    bool IsEmptyOrNull() const { return IsEmpty() || IsNull(); }
    bool IsNumeric()
        const;  // Integer, Long, Double, Boolean or Empty (as the classic IsNumeric on a non-text)
    bool IsText() const { return std::holds_alternative<std::string>(v_); }
    bool IsObject() const { return std::holds_alternative<ComPtr<IUnknown>>(v_); }
    bool IsArray() const { return std::holds_alternative<ArrayPtr>(v_); }

    // Conversions with the classic rules: Empty is 0 or "", Null is error 94, text is parsed
    // (surrounding blanks allowed, invariant format), doubles round half to even, out of range is
    // error 6, anything else error 13.
    int16_t ToInteger() const;
    int32_t ToLong() const;
    double ToDouble() const;
    bool ToBool() const;
    std::string ToText() const;
    ComPtr<IUnknown> ToObject() const;    // Empty or unset object gives unset; other types error 13
    const VariantArray& ToArray() const;  // error 13 when not an array

    // Typed access to the object (unset when it does not support T).
    template <class T>
    ComPtr<T> As() const {
        return QueryAs<T>(ToObject().Get());
    }

    // Conversions to a Variant of another type (CInt, CLng, CDbl, CBool, CStr).
    Variant ConvertTo(VarType t) const;

    // Exact identity of type and value (two unset objects or the same object are identical).
    friend bool operator==(const Variant& a, const Variant& b);

    // Comparison: nullopt when either side is Null (a comparison with Null is never true).
    // Numbers compare numerically, texts by code units, a number with a numeric text
    // numerically; a number against a non-numeric text is error 13.
    static std::optional<int> Compare(const Variant& a, const Variant& b);
    static bool Equal(const Variant& a, const Variant& b) {
        auto c = Compare(a, b);
        return c && *c == 0;
    }

    // Human-readable form for diagnostics and logs (never fails).
    std::string Debug() const;

  private:
    struct BoolBox {
        bool value;
        bool operator==(const BoolBox&) const = default;
    };
    using ArrayPtr = std::shared_ptr<const VariantArray>;
    std::variant<std::monostate, NullTag, int16_t, int32_t, double, BoolBox, std::string,
                 ComPtr<IUnknown>, ArrayPtr>
        v_;
};

// Parses an invariant-format number with optional surrounding blanks; nullopt when not a number.
std::optional<double> ParseNumber(std::string_view text);
// The text form of a double as the classic runtime shows it (up to 15 significant digits).
std::string FormatDouble(double d);
// Rounds half to even, as the classic conversions do.
double RoundHalfEven(double d);

}  // namespace com
