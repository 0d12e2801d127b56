#pragma once
// Databases of generated criteria for the benchmarks, built once per size in a temporary folder
// and removed when the program ends.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ado/connection.h"

namespace bench {

// Creates the schema on an empty database and fills company 1 with `criteria` criteria (at most
// 99,999), spread over the seven posting types with dense priorities; the company is in
// HOST_DITTE, so the host can choose it.
void FillCriteria(ado::Connection& connection, int criteria);

// The folder of this run's databases, registry and log.
const std::filesystem::path& TemporaryFolder();

// The SQLite file of a database filled by FillCriteria.
std::string CriteriaDatabase(int criteria);

// A copy of the SQLite file under its own name, in the run's folder.
std::string DatabaseCopy(const std::string& file, const std::string& name);

// A copy of that database under its own name, for a benchmark that writes to it: every writer
// starts from the same rows and none sees another's changes.
std::string CriteriaDatabaseCopy(int criteria, const std::string& name);

// The company that resolving and checking are measured on: a copy of the database of
// kMatrixCriteria criteria with kMatrixRowsPerCriterion counter-account rows for each (MACC,
// CATC and the criterion's own item code A1, A2, ...), so that exactly one criterion answers a
// posting. Made once per process.
inline constexpr int kMatrixCriteria = 10000, kMatrixRowsPerCriterion = 100;
std::string MatrixDatabase();

// A criterion of posting type 0 halfway down its type, whose neighbour below has the same type:
// the one the save and the moves work on, so that neither sits at an end of the list.
struct Probe {
    int32_t line;  // 1-based, in the window's grid
    int32_t id;
    int32_t priority;
    std::string description;
    int32_t nextId;  // the neighbour below
    int32_t nextPriority;
};
Probe MiddleOfType0(const std::string& connectionString);
// The same in the SQLite database of `criteria` criteria.
Probe MiddleOfType0(int criteria);

// Every column of `count` criteria from the grid's line `line` on, as the window reads them.
std::vector<std::vector<com::Variant>> CriteriaFromLine(const std::string& connectionString,
                                                        int32_t line, int64_t count);

}  // namespace bench
