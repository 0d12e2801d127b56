#pragma once
// UTF-8 as every layer checks, repairs, counts and prints it. A character is a Unicode code
// point, as SQLite's length() and PostgreSQL's varchar(n) count them.

#include <cstddef>
#include <string>
#include <string_view>

namespace txt {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// One character read from UTF-8: its code point and the bytes it takes. A sequence that is not
// UTF-8 (a stray byte, an overlong form, a surrogate, a sequence cut short) is invalid and takes
// its longest start that could still have become a character, at least one byte, as Unicode
// recommends for replacing it.
struct Decoded {
    char32_t codePoint = kReplacementCharacter;
    size_t length = 1;
    bool valid = false;
};

inline Decoded DecodeAt(std::string_view text, size_t at) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return {lead, 1, true};
    // The bytes after the lead, and the range of the first of them (the others are 80..BF):
    // the narrower ranges leave out overlong forms, surrogates and code points past U+10FFFF.
    size_t more = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {};
    }
    char32_t codePoint = lead & (0x3F >> more);
    for (size_t k = 1; k <= more; ++k) {
        if (at + k >= text.size()) return {kReplacementCharacter, k, false};
        const unsigned char c = byte(at + k);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF))
            return {kReplacementCharacter, k, false};
        codePoint = (codePoint << 6) | (c & 0x3F);
    }
    return {codePoint, more + 1, true};
}

// The byte offset of the first sequence that is not UTF-8; npos when the whole text is UTF-8.
inline size_t InvalidUtf8At(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        // Runs of ASCII, most text, need no decoding.
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        const Decoded d = DecodeAt(text, at);
        if (!d.valid) return at;
        at += d.length;
    }
    return std::string_view::npos;
}

inline bool IsUtf8(std::string_view text) {
    return InvalidUtf8At(text) == std::string_view::npos;
}

inline void AppendUtf8(std::string& out, char32_t c) {
    if (c >= 0xD800 && c < 0xE000) c = kReplacementCharacter;  // a surrogate is no character
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The text with each sequence that is not UTF-8 replaced by U+FFFD.
inline std::string ValidUtf8(std::string_view text) {
    size_t bad = InvalidUtf8At(text);
    if (bad == std::string_view::npos) return std::string(text);
    std::string out(text.substr(0, bad));
    for (size_t at = bad; at < text.size();) {
        const Decoded d = DecodeAt(text, at);
        if (d.valid)
            out.append(text.substr(at, d.length));
        else
            AppendUtf8(out, kReplacementCharacter);
        at += d.length;
    }
    return out;
}

// The text as a terminal may print it: UTF-8 (U+FFFD for what is not) with every control
// character written as an escape (\n, \t, \r, \x1B, \u009B), so that a stored text cannot move
// the cursor, clear the screen, retitle the window or forge a line of its own.
inline std::string Printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const Decoded d = DecodeAt(text, at);
        const char32_t c = d.codePoint;
        at += d.length;
        if (c == '\n' || c == '\t' || c == '\r') {
            out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\r";
        } else if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += c < 0x80 ? "\\x" : "\\u00";
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

// Characters (code points) of a UTF-8 text: the bytes that are not continuation bytes.
inline size_t CharCount(std::string_view text) {
    size_t count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

}  // namespace txt
