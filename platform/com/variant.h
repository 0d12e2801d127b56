#pragma once
// The automation Variant: Empty, Null, Integer, Long, Double, Boolean, String, Object, Array.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
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

// Sixteen bytes, as a recordset holds one per cell: a text of up to 14 bytes lies in place, a
// longer one in a shared block that copies only count, and an array likewise.
class Variant {
  public:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };

    Variant() noexcept = default;  // Empty
    static Variant Null() { return Variant(NullTag{}); }
    Variant(NullTag) noexcept : kind_(Kind::Null) {}
    Variant(int16_t i) noexcept : kind_(Kind::Integer) { Put(i); }
    Variant(int32_t i) noexcept : kind_(Kind::Long) { Put(i); }
    Variant(double d) noexcept : kind_(Kind::Double) { Put(d); }
    Variant(bool b) noexcept : kind_(Kind::Boolean) { Put(b); }
    Variant(const std::string& s) : Variant(std::string_view(s)) {}
    Variant(std::string_view s);
    Variant(const char* s) : Variant(std::string_view(s)) {}
    // Any other pointer would convert to bool and become True: an object goes in as a ComPtr,
    // and a null pointer is no text.
    template <class T, class = std::enable_if_t<!std::is_same_v<std::remove_cv_t<T>, char>>>
    Variant(T*) = delete;
    Variant(std::nullptr_t) = delete;
    Variant(ComPtr<IUnknown> o) noexcept : kind_(Kind::Object) { Put(o.Detach()); }
    Variant(VariantArray a);
    template <class T, class = std::enable_if_t<std::is_base_of_v<IUnknown, T> &&
                                                !std::is_same_v<T, IUnknown>>>
    Variant(const ComPtr<T>& o) : Variant(QueryAs<IUnknown>(o.Get())) {}

    Variant(const Variant& o) noexcept : bytes_(o.bytes_), kind_(o.kind_) {
        if (kind_ >= Kind::LongText) AddReference();
    }
    // A Variant moved from is Empty.
    Variant(Variant&& o) noexcept : bytes_(o.bytes_), kind_(std::exchange(o.kind_, Kind::Empty)) {}
    Variant& operator=(const Variant& o) noexcept {
        Variant(o).Swap(*this);
        return *this;
    }
    Variant& operator=(Variant&& o) noexcept {
        Variant(std::move(o)).Swap(*this);
        return *this;
    }
    ~Variant() {
        if (kind_ >= Kind::LongText) Release();
    }

    VarType Type() const;
    bool IsEmpty() const { return kind_ == Kind::Empty; }
    bool IsNull() const { return kind_ == Kind::Null; }
    bool IsEmptyOrNull() const { return IsEmpty() || IsNull(); }
    bool IsNumeric()
        const;  // Integer, Long, Double, Boolean or Empty (as the classic IsNumeric on a non-text)
    bool IsText() const { return kind_ == Kind::ShortText || kind_ == Kind::LongText; }
    bool IsObject() const { return kind_ == Kind::Object; }
    bool IsArray() const { return kind_ == Kind::Array; }

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
    // The kinds from LongText on hold a reference.
    enum class Kind : uint8_t {
        Empty,
        Null,
        Integer,
        Long,
        Double,
        Boolean,
        ShortText,
        LongText,
        Object,
        Array
    };
    static constexpr size_t kShortText = 14;
    struct TextBlock;
    struct ArrayBlock;

    // The value's bytes: a number, a pointer, or a short text followed by its length.
    template <class T>
    T Get() const {
        T value;
        std::memcpy(&value, bytes_.data(), sizeof value);
        return value;
    }
    template <class T>
    void Put(T value) {
        std::memcpy(bytes_.data(), &value, sizeof value);
    }
    std::string_view Text() const;  // the text of a String
    void AddReference() noexcept;
    void Release() noexcept;
    void Swap(Variant& o) noexcept {
        std::swap(bytes_, o.bytes_);
        std::swap(kind_, o.kind_);
    }

    alignas(8) std::array<char, kShortText + 1> bytes_{};
    Kind kind_ = Kind::Empty;
};
static_assert(sizeof(Variant) == 16);

// Parses an invariant-format number with optional surrounding blanks; nullopt when not a number.
std::optional<double> ParseNumber(std::string_view text);
// The text form of a double as the classic runtime shows it (up to 15 significant digits).
std::string FormatDouble(double d);
// Rounds half to even, as the classic conversions do.
double RoundHalfEven(double d);

}  // namespace com
