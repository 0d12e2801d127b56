// The CSV reader on any bytes: records come in line order (a lone carriage return ends a record
// but not a line), a quoting error comes after them, and what the writer makes of the records
// read is read back as the same records.

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "framework/csv_reader.h"
#include "framework/csv_writer.h"
#include "fuzz/fuzz_check.h"

namespace {

using Records = std::vector<std::vector<std::string>>;

Records Read(const std::string& text, size_t& lastLine, bool& stopped) {
    std::istringstream in(text);
    Records records;
    lastLine = 0;
    const auto error = framework::ReadCsv(in, [&](size_t line, auto& cells) {
        FUZZ_CHECK(line >= lastLine && line >= 1);
        lastLine = line;
        records.push_back(cells);
    });
    stopped = error.has_value();
    if (error) FUZZ_CHECK(error->line >= lastLine && error->line >= 1);
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t lastLine = 0;
    bool stopped = false;
    Records records =
        Read(std::string(reinterpret_cast<const char*>(data), size), lastLine, stopped);
    // A record of one empty cell is written as a blank line, which is left out at the end; the
    // first line written is not one a byte-order mark could start.
    while (!records.empty() && records.back() == std::vector<std::string>(1)) records.pop_back();
    std::ostringstream written;
    framework::WriteCsvRecord({"x"}, written);
    for (const auto& record : records) framework::WriteCsvRecord(record, written);
    Records again = Read(written.str(), lastLine, stopped);
    FUZZ_CHECK(!stopped);
    FUZZ_CHECK(!again.empty());
    again.erase(again.begin());
    FUZZ_CHECK(again == records);
    return 0;
}
