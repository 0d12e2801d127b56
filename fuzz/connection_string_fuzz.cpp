// Connection strings: "key=value;..." read into lower-case keys and trimmed values.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/ado/backend.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    auto settings = ado::detail::ParseConnectionString(text);
    for (const auto& [key, value] : settings.entries) {
        FUZZ_CHECK(!key.empty());
        FUZZ_CHECK(key.find_first_of(";=") == std::string::npos);
        FUZZ_CHECK(value.find(';') == std::string::npos);
        for (char c : key) FUZZ_CHECK(c < 'A' || c > 'Z');
    }
    // The database path the SQLite provider opens.
    FUZZ_CHECK(settings.Get("data source").find(';') == std::string::npos);
    return 0;
}
