#pragma once
// Databases for the counter-account matrix's benchmarks: company 1 with the seven criteria of
// FillCriteria (structure MACC, CATC, CODA), the first holding `rows` matrix rows and the second
// none, and the import file of `lines` lines that the second one takes.

#include <string>
#include <vector>

#include "platform/ado/connection.h"

namespace bench {

inline constexpr int kMatrixRows = 100000;
// The criterion holding the rows, and the empty one the imports fill (both of company 1).
inline constexpr int32_t kFullCriterion = 1, kImportCriterion = 2;

// The select of the matrix window on the full criterion, its values written in.
inline constexpr const char* kMatrixWindowQuery =
    "SELECT MGA1_ID, MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_VALORE01, MGA1_VALORE02, MGA1_VALORE03, "
    "MGA1_CONTO FROM MGA1_MATRCPAR WHERE MGA1_DITTA_CG18 = 1 AND MGA1_ID_MGA0 = 1 ORDER BY MGA1_ID";
// The raw baselines' insert of one line: company, criterion, three values, account.
inline constexpr const char* kMatrixInsert =
    "INSERT INTO MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_VALORE01, MGA1_VALORE02, "
    "MGA1_VALORE03, MGA1_CONTO) VALUES (?, ?, ?, ?, ?, ?)";
// Takes an import's rows away again, between the timed imports.
inline constexpr const char* kEmptyImportCriterion =
    "DELETE FROM MGA1_MATRCPAR WHERE MGA1_DITTA_CG18 = 1 AND MGA1_ID_MGA0 = 2";

// Creates the schema on an empty database and writes the criteria and the rows.
void FillMatrixRows(ado::Connection& connection, int rows);

// The SQLite file of a database filled by FillMatrixRows.
std::string MatrixRowsDatabase(int rows);

// A CSV file of `lines` rows for the import criterion: the header MACC;CATC;CODA;CONTO, then
// values that no two lines share.
std::string MatrixImportFile(int lines);

// The fields of each line of a file as a plain reader splits them, the header left out: what the
// raw baselines insert.
std::vector<std::vector<std::string>> SplitImportFile(const std::string& file);

}  // namespace bench
