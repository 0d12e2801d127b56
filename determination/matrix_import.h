#pragma once
// A criterion's matrix rows from a file (CSV, as `dravel matrix export` writes it): every line
// checked first, then written in one transaction, or nothing written and every bad line named.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "determination/matrix.h"

namespace determination {

// A record of the file: the number of the line it starts on, its cells as read.
struct FileRecord {
    size_t line = 0;
    std::vector<std::string> cells;
};

// A line of the file that cannot be imported, and why (in the user's language).
struct FileFault {
    size_t line = 0;
    std::string reason;
};

struct ImportOptions {
    // Without it the file's rows are added, and a row that already holds a line's values gets
    // its account; with it the criterion's rows become exactly the file's.
    bool replace = false;
    // Whether the file was read to its end; when not, the lines read are checked, nothing is
    // written.
    bool readWhole = true;
};

struct ImportOutcome {
    std::vector<FileFault> faults;  // nothing was written when there is one
    size_t added = 0, changed = 0, removed = 0;
};

// The header a criterion's file has: its attribute codes in order, then CONTO.
std::vector<std::string> FileHeader(const Criterion& criterion);

// Imports `records` (the header first) into the company's criterion with key `criterion`. The
// criterion is read again inside the transaction: error 3021 when it does not exist. Values and
// accounts are kept trimmed (KeptText); values are compared as RowsHolding compares them.
ImportOutcome ImportRows(ado::Connection& connection, int32_t company, int32_t criterion,
                         const std::vector<FileRecord>& records, const ImportOptions& options,
                         const Translate& translate);

}  // namespace determination
