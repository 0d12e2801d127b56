#pragma once
// The one CSV writer of the product: what spreadsheets set to Italian read. Fields are separated
// by ';', records end in CR LF, text is written as it is (UTF-8).

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace framework {

// One cell: quoted when it holds a separator, a quote or a line break (a quote inside doubled).
// A cell that a spreadsheet would run as a formula (starting with '=', '+', '-', '@', a tab or a
// carriage return) gets an apostrophe before it, which the spreadsheet shows as text and takes
// off; so does a cell starting with an apostrophe, which gets its own back that way.
void WriteCsvField(std::string_view text, std::ostream& out);

// One record: its fields separated by ';', then CR LF.
void WriteCsvRecord(const std::vector<std::string>& fields, std::ostream& out);

}  // namespace framework
