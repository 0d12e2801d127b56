// UTF-8 as every layer checks, repairs, counts and prints it.

#include <gtest/gtest.h>

#include "platform/text/utf8.h"

namespace {

constexpr const char* kFffd = "\xEF\xBF\xBD";

// Each sequence that is not UTF-8 becomes one U+FFFD per longest start of a character it holds
// (as Unicode recommends), and nothing else changes.
TEST(Utf8, WhatIsNotUtf8IsFoundAndReplaced) {
    const struct {
        std::string text;
        size_t invalidAt;  // npos: UTF-8
        std::string valid;
    } cases[] = {
        {"caffè ☕ 😀", std::string::npos, "caffè ☕ 😀"},
        {"caf\xE9", 3, std::string("caf") + kFffd},               // Latin-1
        {"a\xFF", 1, std::string("a") + kFffd},                   // never in UTF-8
        {"\x80z", 0, std::string(kFffd) + "z"},                   // a stray continuation
        {"\xC0\xAF", 0, std::string(kFffd) + kFffd},              // overlong '/'
        {"\xED\xA0\x80", 0, std::string(kFffd) + kFffd + kFffd},  // a surrogate
        {"\xF4\x90\x80\x80", 0, std::string(kFffd) + kFffd + kFffd + kFffd},  // past U+10FFFF
        {"\xF0\x9F\x98z", 0, std::string(kFffd) + "z"},                       // cut short
        {"ok\xE2\x82", 2, std::string("ok") + kFffd},                         // cut by the end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(txt::InvalidUtf8At(c.text), c.invalidAt) << c.valid;
        EXPECT_EQ(txt::ValidUtf8(c.text), c.valid);
    }
}

// Nothing a terminal takes for a command gets through: C0 and C1 controls and DEL are escaped,
// everything else (marks, right-to-left letters, emoji) prints as it is.
TEST(Utf8, PrintableEscapesEveryControlCharacter) {
    const struct {
        std::string text, printed;
    } cases[] = {
        {"\x1B[2J\x1B]0;titolo\a", "\\x1B[2J\\x1B]0;titolo\\x07"},
        {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
        {std::string("\0\x7F", 2), "\\x00\\x7F"},
        {"\xC2\x9B"
         "31m",
         "\\u009B31m"},  // CSI as one character
        {"e\xCC\x81 \xD7\xA9\xD7\x9C 😀 \xC2\xA0", "e\xCC\x81 \xD7\xA9\xD7\x9C 😀 \xC2\xA0"},
        {"caf\xE9", std::string("caf") + kFffd},
    };
    for (const auto& c : cases) EXPECT_EQ(txt::Printable(c.text), c.printed);
}

}  // namespace
