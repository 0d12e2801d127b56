// The CSV writer: what a spreadsheet reads back is the cell as it was, and nothing runs.

#include <gtest/gtest.h>

#include <sstream>

#include "framework/csv_writer.h"

namespace {

struct Cell {
    const char* text;
    const char* written;
};

// A spreadsheet takes one leading apostrophe off and shows the rest as text: every cell that
// would start a formula, and one that starts with an apostrophe, gets one.
const Cell kCells[] = {
    {"", ""},
    {"Cliente, Codice articolo", "Cliente, Codice articolo"},
    {"Perché 3", "Perché 3"},
    {"a;b", "\"a;b\""},
    {"dice \"sì\"", "\"dice \"\"sì\"\"\""},
    {"two\nlines", "\"two\nlines\""},
    {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
    {"+1", "'+1"},
    {"-2", "'-2"},
    {"@SUM(A1)", "'@SUM(A1)"},
    {"\t=1", "'\t=1"},
    {"\r=1", "\"'\r=1\""},
    {"'quoted", "''quoted"},
    {"=a;b", "\"'=a;b\""},
    {"a=b", "a=b"},
};

TEST(CsvWriter, EachCellIsQuotedOrNeutralisedAsASpreadsheetNeeds) {
    for (const auto& cell : kCells) {
        std::ostringstream out;
        framework::WriteCsvField(cell.text, out);
        EXPECT_EQ(out.str(), cell.written) << "cell: " << cell.text;
    }
}

TEST(CsvWriter, ARecordIsItsFieldsBetweenSemicolonsEndingInCrLf) {
    std::ostringstream out;
    framework::WriteCsvRecord({"Priorità", "=1", ""}, out);
    framework::WriteCsvRecord({}, out);
    EXPECT_EQ(out.str(), "Priorità;'=1;\r\n\r\n");
}

}  // namespace
