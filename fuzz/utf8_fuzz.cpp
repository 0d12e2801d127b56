// UTF-8 as the product checks, repairs, counts and prints it: whatever the bytes, the repaired
// text is UTF-8 and keeps every text that already was; the printable one holds no control
// character; counting and checking agree with decoding.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string valid = txt::ValidUtf8(text);
    FUZZ_CHECK(txt::IsUtf8(valid));
    FUZZ_CHECK(txt::IsUtf8(text) == (valid == text));
    size_t characters = 0;
    for (size_t at = 0; at < valid.size(); at += txt::DecodeAt(valid, at).length) ++characters;
    FUZZ_CHECK(characters == txt::CharCount(valid));
    const std::string printable = txt::Printable(text);
    FUZZ_CHECK(txt::IsUtf8(printable));
    for (size_t at = 0; at < printable.size();) {
        const auto d = txt::DecodeAt(printable, at);
        FUZZ_CHECK(d.codePoint >= 0x20 && d.codePoint != 0x7F &&
                   (d.codePoint < 0x80 || d.codePoint >= 0xA0));
        at += d.length;
    }
    return 0;
}
