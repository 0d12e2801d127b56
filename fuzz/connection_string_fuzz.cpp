// Connection strings: "key=value;..." read into lower-case keys and values, a value in braces
// taken as it stands. A path quoted by the builder reads back unchanged, and so does whatever
// was read, written again.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/ado/connection_string.h"
#include "platform/com/com_error.h"

using ado::ParseConnectionString;
using ado::QuoteConnectionValue;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    auto quoted = ParseConnectionString(
        "Provider=SQLite;Data Source=" + QuoteConnectionValue(text) + ";Mode=x");
    FUZZ_CHECK(quoted.Get("data source") == text);
    FUZZ_CHECK(quoted.Get("mode") == "x");

    ado::ConnectionSettings settings;
    try {
        settings = ParseConnectionString(text);
    } catch (const com::ComError&) {
        return 0;  // a brace never closed, or text after one
    }
    std::string written;
    for (const auto& [key, value] : settings.entries) {
        FUZZ_CHECK(!key.empty());
        FUZZ_CHECK(key.find_first_of(";=") == std::string::npos);
        for (char c : key) FUZZ_CHECK(c < 'A' || c > 'Z');
        written += key + "=" + QuoteConnectionValue(value) + ";";
    }
    FUZZ_CHECK(ParseConnectionString(written).entries == settings.entries);
    return 0;
}
