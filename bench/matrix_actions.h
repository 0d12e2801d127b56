#pragma once
// The counter-account matrix's actions timed as the product does them, on whatever database a
// connection string names: each benchmark program sets them beside its own raw baseline.

#include <benchmark/benchmark.h>

#include <string>

namespace bench {

// Opening the matrix window on the criterion holding state.range(0) rows, looking at its first
// line, and closing it again.
void TimeOpenMatrixWindow(benchmark::State& state, const std::string& connectionString);

// Importing the file of state.range(0) lines into the empty criterion as `dravel matrix import`
// does: the file read, its records parsed, checked and written in one transaction. The rows are
// taken away again between the imports, out of the timing.
void TimeImportMatrix(benchmark::State& state, const std::string& connectionString);

}  // namespace bench
