#include "platform/com/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using com::ComError;
using com::Variant;
using com::VarType;

namespace {

int ErrorOf(auto&& f) {
    try {
        f();
    } catch (const ComError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace

TEST(Variant, ConvertsToLongAsTheClassicRuntime) {
    struct Row {
        Variant in;
        int32_t out;
        int error;
    };
    const Row rows[] = {
        {Variant(), 0, 0},
        {Variant("120"), 120, 0},
        {Variant("  42  "), 42, 0},
        {Variant("-7"), -7, 0},
        {Variant("1e3"), 1000, 0},
        {Variant(2.5), 2, 0},  // half to even
        {Variant(3.5), 4, 0},
        {Variant(-2.5), -2, 0},
        {Variant(true), -1, 0},
        {Variant(false), 0, 0},
        {Variant(int16_t{-300}), -300, 0},
        {Variant("abc"), 0, 13},
        {Variant(""), 0, 13},
        {Variant::Null(), 0, 94},
        {Variant(3e9), 0, 6},
        {Variant("2147483648"), 0, 6},
        {Variant(com::VariantArray{Variant(1)}), 0, 13},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.in.Debug());
        int32_t got = 0;
        EXPECT_EQ(ErrorOf([&] { got = r.in.ToLong(); }), r.error);
        if (!r.error) {
            EXPECT_EQ(got, r.out);
        }
    }
}

TEST(Variant, IntegerIsSixteenBit) {
    EXPECT_EQ(Variant(32767).ToInteger(), 32767);
    EXPECT_EQ(ErrorOf([] { Variant(32768).ToInteger(); }), 6);
    EXPECT_EQ(ErrorOf([] { Variant("-32769").ToInteger(); }), 6);
    EXPECT_EQ(Variant(0.5).ToInteger(), 0);
    EXPECT_EQ(Variant(1.5).ToInteger(), 2);
}

TEST(Variant, TextForms) {
    EXPECT_EQ(Variant().ToText(), "");
    EXPECT_EQ(Variant(5).ToText(), "5");
    EXPECT_EQ(Variant(int16_t{-12}).ToText(), "-12");
    EXPECT_EQ(Variant(0.1).ToText(), "0.1");
    EXPECT_EQ(Variant(2.0).ToText(), "2");
    EXPECT_EQ(Variant(1.0 / 3).ToText(), "0.333333333333333");
    EXPECT_EQ(Variant(1e20).ToText(), "1E+20");
    EXPECT_EQ(Variant(true).ToText(), "True");
    EXPECT_EQ(ErrorOf([] { Variant::Null().ToText(); }), 94);
    EXPECT_EQ(ErrorOf([] { Variant(com::VariantArray{}).ToText(); }), 13);
}

TEST(Variant, BooleansAndDoubles) {
    EXPECT_TRUE(Variant("True").ToBool());
    EXPECT_FALSE(Variant(" false ").ToBool());
    EXPECT_TRUE(Variant("2").ToBool());
    EXPECT_FALSE(Variant().ToBool());
    EXPECT_EQ(ErrorOf([] { Variant("yes").ToBool(); }), 13);
    EXPECT_DOUBLE_EQ(Variant(" 1.25").ToDouble(), 1.25);
    EXPECT_EQ(ErrorOf([] { Variant("1,25").ToDouble(); }), 13);  // invariant format only
    EXPECT_EQ(ErrorOf([] { Variant("nan").ToDouble(); }), 13);
}

TEST(Variant, ConvertToKeepsTheRequestedType) {
    auto v = Variant("120").ConvertTo(VarType::Long);
    EXPECT_EQ(v.Type(), VarType::Long);
    EXPECT_EQ(v, Variant(120));
    EXPECT_EQ(Variant(7).ConvertTo(VarType::String), Variant("7"));
    EXPECT_EQ(Variant(7).ConvertTo(VarType::Integer).Type(), VarType::Integer);
}

TEST(Variant, ComparisonWithNullIsNeverTrue) {
    EXPECT_FALSE(Variant::Compare(Variant::Null(), Variant::Null()).has_value());
    EXPECT_FALSE(Variant::Equal(Variant::Null(), Variant(0)));
    EXPECT_FALSE(Variant::Equal(Variant(), Variant::Null()));
    EXPECT_TRUE(Variant::Equal(Variant(1), Variant(1.0)));
    EXPECT_TRUE(Variant::Equal(Variant(int16_t{4}), Variant("4")));
    EXPECT_TRUE(Variant::Equal(Variant(), Variant(0)));
    EXPECT_TRUE(Variant::Equal(Variant(), Variant("")));
    EXPECT_EQ(*Variant::Compare(Variant("a"), Variant("b")), -1);
    EXPECT_EQ(*Variant::Compare(Variant(10), Variant(9.5)), 1);
    EXPECT_EQ(ErrorOf([] { Variant::Compare(Variant(1), Variant("x")); }), 13);
}

TEST(Variant, IdentityDistinguishesTypes) {
    EXPECT_NE(Variant(1), Variant(int16_t{1}));
    EXPECT_NE(Variant(), Variant::Null());
    EXPECT_EQ(Variant(com::VariantArray{Variant("x")}), Variant(com::VariantArray{Variant("x")}));
}

TEST(Variant, TextsOutOfTheDoubleRange) {
    // Too small for a double is zero, not an overflow.
    EXPECT_EQ(com::ParseNumber("1e-400"), 0.0);
    EXPECT_EQ(com::ParseNumber(" -0.000001e-320 "), 0.0);
    EXPECT_EQ(Variant("1e-400").ToLong(), 0);
    EXPECT_EQ(com::ParseNumber("4.94065645841247E-324"), 4.94065645841247E-324);
    // Too large is error 6; trailing garbage after it is no number at all.
    EXPECT_EQ(ErrorOf([] { Variant("1e400").ToDouble(); }), 6);
    EXPECT_EQ(ErrorOf([] { Variant("-123456e99999999999").ToDouble(); }), 6);
    EXPECT_FALSE(com::ParseNumber("1e400x"));
    EXPECT_FALSE(Variant("1e400 x").IsNumeric());
    EXPECT_EQ(ErrorOf([] { Variant("1e400x").ToDouble(); }), 13);
}

TEST(Variant, EveryDoublesTextFormReadsBack) {
    constexpr double max = std::numeric_limits<double>::max();
    for (double d : {max, -max, std::numeric_limits<double>::denorm_min(), 1e-310, 0.1}) {
        std::string text = com::FormatDouble(d);
        auto back = com::ParseNumber(text);
        ASSERT_TRUE(back) << text;
        EXPECT_NEAR(*back, d, std::fabs(d) * 5e-15) << text;
        EXPECT_EQ(Variant(text).ToDouble(), *back) << text;
    }
    EXPECT_EQ(com::FormatDouble(max), "1.79769313486232E+308");
    // Beyond the largest double as it is shown is still an overflow.
    EXPECT_EQ(ErrorOf([] { Variant("1.79769313486233E+308").ToDouble(); }), 6);
}
