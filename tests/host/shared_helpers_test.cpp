#include <gtest/gtest.h>

#include "host/mod_quintab.h"

using com::Variant;
using dravel::TrimToText;
using dravel::ValueOrDefault;

TEST(TrimToText, GivesTextWithoutTrailingBlanks) {
    EXPECT_EQ(TrimToText(Variant()), Variant(""));
    EXPECT_EQ(TrimToText(Variant::Null()), Variant(""));
    EXPECT_EQ(TrimToText(Variant("")), Variant(""));
    EXPECT_EQ(TrimToText(Variant("  ab  ")), Variant("  ab"));
    EXPECT_EQ(TrimToText(Variant("    ")), Variant(""));
    EXPECT_EQ(TrimToText(Variant(12)), Variant("12"));
    EXPECT_THROW(TrimToText(Variant(com::VariantArray{})), com::ComError);
}

TEST(ValueOrDefault, ReplacesOnlyEmptyAndNull) {
    EXPECT_EQ(ValueOrDefault(Variant::Null(), Variant(0)), Variant(0));
    EXPECT_EQ(ValueOrDefault(Variant(""), Variant(0)), Variant(""));
    EXPECT_EQ(ValueOrDefault(Variant(0), Variant(5)), Variant(0));
    EXPECT_EQ(ValueOrDefault(Variant(), Variant("x")), Variant("x"));
    com::Err().Set(com::ComError(13));
    ValueOrDefault(Variant(1), Variant(2));
    EXPECT_EQ(com::Err().Number(), 0);
}
