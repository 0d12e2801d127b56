#pragma once
// Letter case and blanks of text, for every layer. Nothing here depends on the C locale: keys,
// identifiers and statements read the same whatever locale a program sets.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace txt {

// What a value or a line may be padded with: spaces and tabs.
inline constexpr std::string_view kBlanks = " \t";
// Every white-space character of the C locale, line ends included.
inline constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

// ASCII letters in lower case; every other byte, UTF-8 sequences included, as it is.
inline std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Upper case as a user's field shows it: ASCII letters and the accented Latin letters (à -> À).
inline std::string Upper(std::string_view text) {
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < out.size()) {
            // U+00E0..U+00FE are the small letters of U+00C0..U+00DE (U+00F7 is the sign ÷).
            auto n = static_cast<unsigned char>(out[++i]);
            if (n >= 0xA0 && n <= 0xBE && n != 0xB7) out[i] = static_cast<char>(n - 0x20);
        }
    }
    return out;
}

// Equal but for the letter case of ASCII letters.
inline bool EqualNoCase(std::string_view a, std::string_view b) {
    return Lower(a) == Lower(b);
}

inline bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return EqualNoCase(text.substr(0, prefix.size()), prefix);
}

inline std::string_view TrimStart(std::string_view text, std::string_view blanks = kBlanks) {
    return text.substr(std::min(text.size(), text.find_first_not_of(blanks)));
}

inline std::string_view TrimEnd(std::string_view text, std::string_view blanks = kBlanks) {
    return text.substr(0, text.find_last_not_of(blanks) + 1);  // npos + 1: nothing is left
}

inline std::string_view Trim(std::string_view text, std::string_view blanks = kBlanks) {
    return TrimEnd(TrimStart(text, blanks), blanks);
}

// The parts with `separator` between them.
inline std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
    std::string joined;
    for (size_t i = 0; i < parts.size(); ++i) (joined += i ? separator : "") += parts[i];
    return joined;
}

// Nothing, or blanks only.
inline bool IsBlank(std::string_view text) {
    return TrimStart(text).empty();
}

// Digits only, with an optional leading sign; the empty text is not a number.
inline bool IsWholeNumber(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace txt
