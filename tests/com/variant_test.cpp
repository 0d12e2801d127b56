// The Variant's conversions and comparisons, as the classic runtime makes them. What may become a
// Variant without saying so: texts, numbers, Booleans and objects held by a ComPtr; a raw pointer
// would become True through bool, so it does not compile.

#include "platform/com/variant.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <tuple>
#include <type_traits>

using com::Variant;
using com::VarType;

static_assert(std::is_convertible_v<const char*, Variant>);
static_assert(std::is_convertible_v<char*, Variant>);
static_assert(std::is_convertible_v<com::ComPtr<com::IUnknown>, Variant>);
static_assert(std::is_convertible_v<bool, Variant>);
static_assert(!std::is_constructible_v<Variant, com::IUnknown*>);
static_assert(!std::is_constructible_v<Variant, const int*>);
static_assert(!std::is_constructible_v<Variant, void*>);
static_assert(!std::is_constructible_v<Variant, std::nullptr_t>);
static_assert(!std::is_convertible_v<void (*)(), Variant>);

namespace {

// The value converted to `to`, in its text form, or "error N".
std::string Converted(const Variant& v, VarType to) {
    try {
        Variant converted = v.ConvertTo(to);
        EXPECT_EQ(converted.Type(), to) << v.Debug();
        return converted.ToText();
    } catch (const com::ComError& e) {
        return "error " + std::to_string(e.Number());
    }
}

TEST(Variant, ConvertsAsTheClassicRuntime) {
    constexpr double kMax = std::numeric_limits<double>::max();
    char text[] = "abc";
    const std::tuple<Variant, VarType, const char*> cases[] = {
        {Variant(), VarType::Long, "0"},
        {"  42  ", VarType::Long, "42"},
        {"1e3", VarType::Long, "1000"},
        {2.5, VarType::Long, "2"},  // half to even
        {3.5, VarType::Long, "4"},
        {-2.5, VarType::Long, "-2"},
        {true, VarType::Long, "-1"},
        {int16_t{-300}, VarType::Long, "-300"},
        {"abc", VarType::Long, "error 13"},
        {"", VarType::Long, "error 13"},
        {Variant::Null(), VarType::Long, "error 94"},
        {3e9, VarType::Long, "error 6"},
        {com::VariantArray{Variant(1)}, VarType::Long, "error 13"},
        {32767, VarType::Integer, "32767"},
        {32768, VarType::Integer, "error 6"},
        {"-32769", VarType::Integer, "error 6"},
        {1.5, VarType::Integer, "2"},
        {2.0, VarType::String, "2"},
        {1.0 / 3, VarType::String, "0.333333333333333"},
        {1e20, VarType::String, "1E+20"},
        {kMax, VarType::String, "1.79769313486232E+308"},
        {true, VarType::String, "True"},
        {text, VarType::String, "abc"},  // a char*, not a Boolean
        {Variant::Null(), VarType::String, "error 94"},
        {com::VariantArray{}, VarType::String, "error 13"},
        {"True", VarType::Boolean, "True"},
        {" false ", VarType::Boolean, "False"},
        {"2", VarType::Boolean, "True"},
        {Variant(), VarType::Boolean, "False"},
        {"yes", VarType::Boolean, "error 13"},
        {" 1.25", VarType::Double, "1.25"},
        {"1,25", VarType::Double, "error 13"},  // invariant format only
        {"nan", VarType::Double, "error 13"},
        // Too small for a double is zero; too large is error 6.
        {"1e-400", VarType::Double, "0"},
        {"1e400", VarType::Double, "error 6"},
        {"-123456e99999999999", VarType::Double, "error 6"},
        {"1.79769313486233E+308", VarType::Double, "error 6"},
    };
    for (const auto& [in, to, out] : cases)
        EXPECT_EQ(Converted(in, to), out) << in.Debug() << " to type " << static_cast<int>(to);
}

TEST(Variant, ComparisonWithNullIsNeverTrueAndNumbersCompareWithNumericTexts) {
    // -1, 0, 1, "none" (with Null) or "error N"
    const std::tuple<Variant, Variant, const char*> cases[] = {
        {Variant::Null(), Variant::Null(), "none"},
        {Variant::Null(), 0, "none"},
        {Variant(), Variant::Null(), "none"},
        {1, 1.0, "0"},
        {int16_t{4}, "4", "0"},
        {Variant(), 0, "0"},
        {Variant(), "", "0"},
        {"a", "b", "-1"},
        {10, 9.5, "1"},
        {1, "x", "error 13"},
    };
    for (const auto& [a, b, result] : cases) {
        std::string got;
        try {
            auto r = Variant::Compare(a, b);
            got = r ? std::to_string(*r) : "none";
        } catch (const com::ComError& e) {
            got = "error " + std::to_string(e.Number());
        }
        EXPECT_EQ(got, result) << a.Debug() << " against " << b.Debug();
    }
    // Identity, which tells a changed value from an unchanged one, tells the types apart too.
    EXPECT_NE(Variant(1), Variant(int16_t{1}));
    EXPECT_NE(Variant(), Variant::Null());
    EXPECT_EQ(Variant(com::VariantArray{Variant("x")}), Variant(com::VariantArray{Variant("x")}));
}

// Short texts lie in the Variant, longer ones in a shared block: each keeps every byte (a NUL
// included) through copies that outlive the original, and compares across the two forms.
TEST(Variant, TextsKeepEveryByteWhereverTheyLie) {
    const std::string texts[] = {"", std::string(14, 'a'), std::string(15, 'a'),
                                 std::string("a\0b", 3), std::string(40, 'b') + '\0'};
    for (const auto& text : texts) {
        std::optional<Variant> original(text);
        Variant copy = *original, assigned;
        assigned = copy;
        const Variant& same = assigned;
        assigned = same;
        original.reset();
        EXPECT_EQ(copy.ToText(), text);
        EXPECT_EQ(assigned, Variant(text));
        EXPECT_EQ(Variant::Compare(copy, std::string(text) + 'z'), -1) << text.size();
    }
}

}  // namespace
