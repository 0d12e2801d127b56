// Session scripts: a script either parses or is a ParseError naming one of its lines; every word
// of a parsed script is UTF-8.

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/script/script_parser.h"
#include "fuzz/fuzz_check.h"
#include "platform/text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    try {
        std::string first = text.substr(0, text.find('\n'));
        script::SplitWords(first, 1);
    } catch (const script::ParseError& e) {
        FUZZ_CHECK(e.Line() == 1);
    }
    try {
        int previous = 0;
        for (const auto& command : script::Parse(text)) {
            FUZZ_CHECK(command.line > previous && command.line <= lines);
            FUZZ_CHECK(!command.words.empty());
            for (const auto& word : command.words) FUZZ_CHECK(txt::IsUtf8(word));
            previous = command.line;
        }
    } catch (const script::ParseError& e) {
        FUZZ_CHECK(e.Line() >= 1 && e.Line() <= lines);
    }
    return 0;
}
