// What may become a Variant without saying so: texts, numbers, Booleans and objects held by a
// ComPtr. A raw pointer would become True through bool; it does not compile.

#include <gtest/gtest.h>

#include <type_traits>

#include "platform/com/variant.h"

namespace {

using com::Variant;

static_assert(std::is_convertible_v<const char*, Variant>);
static_assert(std::is_convertible_v<char*, Variant>);
static_assert(std::is_convertible_v<com::ComPtr<com::IUnknown>, Variant>);
static_assert(std::is_convertible_v<bool, Variant>);

static_assert(!std::is_constructible_v<Variant, com::IUnknown*>);
static_assert(!std::is_constructible_v<Variant, const int*>);
static_assert(!std::is_constructible_v<Variant, void*>);
static_assert(!std::is_constructible_v<Variant, std::nullptr_t>);
static_assert(!std::is_convertible_v<com::IUnknown*, Variant>);
static_assert(!std::is_convertible_v<void (*)(), Variant>);

TEST(VariantConversions, RawPointersDoNotCompileAndTextsStayTexts) {
    char text[] = "abc";
    EXPECT_EQ(Variant(static_cast<char*>(text)), Variant("abc"));
}

}  // namespace
