// Message catalogue lines: a malformed catalogue is error 5 naming its line, nothing else.

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/message_catalogue.h"
#include "fuzz/fuzz_check.h"
#include "platform/com/com_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        auto catalogue = framework::MessageCatalogue::Parse(text, "fuzz.po");
        // An empty source text is the header, never a translation.
        FUZZ_CHECK(!catalogue.Find(""));
    } catch (const com::ComError& e) {
        FUZZ_CHECK(e.Number() == com::err::InvalidCall);
        FUZZ_CHECK(e.Description().starts_with("fuzz.po:"));
    }
    return 0;
}
