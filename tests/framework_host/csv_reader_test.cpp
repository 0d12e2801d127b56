// The CSV reader is the writer's inverse: every record written is read back as it was, cell for
// cell, blanks, quotes, line breaks and the writer's apostrophes included.

#include <gtest/gtest.h>

#include <sstream>

#include "framework/csv_reader.h"
#include "framework/csv_writer.h"

namespace {

const std::vector<std::vector<std::string>> kRecords = {
    {"Cliente, Codice articolo", " padded\t", "", "Perché"},
    {"a;b", "dice \"sì\"", "two\nlines", "\r\nboth"},
    {"=cmd|' /C calc'!A0", "+1", "-2", "@SUM(A1)", "\t=1", "\r=1", "'quoted", "''", "'"},
    {""},
    {"last"},
};

TEST(CsvReader, ReadsBackEveryRecordTheWriterWrote) {
    std::stringstream file;
    for (const auto& record : kRecords) framework::WriteCsvRecord(record, file);
    std::vector<std::vector<std::string>> read;
    std::vector<size_t> lines;
    const auto error = framework::ReadCsv(file, [&](size_t line, auto& cells) {
        lines.push_back(line);
        read.push_back(cells);
    });
    EXPECT_FALSE(error);
    EXPECT_EQ(read, kRecords);
    EXPECT_EQ(lines, (std::vector<size_t>{1, 2, 5, 6, 7}));
}

}  // namespace
