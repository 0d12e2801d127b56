// The CSV reader on any bytes: records come in line order, and what the writer makes of the
// records read is read back as the same records.

#include <cstdint>
#include <sstream>

#include "framework/csv_reader.h"
#include "framework/csv_writer.h"
#include "fuzz/fuzz_check.h"

using Records = std::vector<std::vector<std::string>>;

static Records Read(const std::string& text) {
    std::istringstream in(text);
    Records records;
    size_t last = 1;
    framework::ReadCsv(in, [&](size_t line, auto& cells) {
        FUZZ_CHECK(line >= last);  // equal after a lone carriage return, which ends no line
        last = line;
        records.push_back(cells);
    });
    return records;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Records records = Read(std::string(reinterpret_cast<const char*>(data), size));
    // One empty cell is written as a blank line, which is left out at the end; a byte-order mark
    // is taken off the first record only.
    while (!records.empty() && records.back() == std::vector<std::string>(1)) records.pop_back();
    records.insert(records.begin(), {"x"});
    std::ostringstream written;
    for (const auto& record : records) framework::WriteCsvRecord(record, written);
    FUZZ_CHECK(Read(written.str()) == records);
    return 0;
}
