#pragma once
// The one CSV reader of the product, the inverse of the writer (csv_writer.h): fields separated by
// ';', records ending in LF or CR LF (a lone CR ends a record, not a line), quoted fields as RFC
// 4180 has them, UTF-8 with or without a byte-order mark. Cells are given as written (blanks
// included; bytes that are not UTF-8 too, for the caller to refuse), less one leading apostrophe:
// the writer's mark on a cell that a spreadsheet would otherwise run, which spreadsheets take off
// as well.

#include <cstddef>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace framework {

// Where reading stopped at a quote it could not take.
struct CsvQuoteError {
    size_t line = 0;        // from 1
    bool unclosed = false;  // the file ends inside a quoted field (opened on `line`); otherwise
                            // a quote out of place on `line`
};

// Called for each record with the number of the line it starts on (from 1) and its cells. A
// blank line is a record of one empty cell (as the writer writes one); blank lines at the end of
// the file are left out.
using CsvRecordSink = std::function<void(size_t line, std::vector<std::string>& cells)>;

// Reads `in` to its end, or to the first quoting error, which it returns; the records before it
// have been given. Error 7 when a field does not fit in memory.
std::optional<CsvQuoteError> ReadCsv(std::istream& in, const CsvRecordSink& sink);

}  // namespace framework
