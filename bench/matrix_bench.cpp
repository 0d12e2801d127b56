// The counter-account matrix on SQLite: opening its window on a criterion with N rows and
// closing it again, beside the window's select read to its end on a connection of its own; and
// importing a file of N lines into an empty criterion, beside one prepared insert per line in one
// transaction.

#include <benchmark/benchmark.h>

#include "bench/matrix_actions.h"
#include "bench/matrix_rows_database.h"
#include "bench/raw_sqlite.h"
#include "platform/ado/connection_string.h"

namespace {

void OpenMatrixWindow(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    bench::TimeOpenMatrixWindow(state,
                                ado::SqliteConnectionString(bench::MatrixRowsDatabase(rows)));
}

void OpenMatrixWindowRawSqlite(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const std::string file = bench::MatrixRowsDatabase(rows);
    for (auto _ : state) {
        bench::RawDatabase window(file);
        if (window.ReadAll(bench::kMatrixWindowQuery) != rows)
            state.SkipWithError("wrong number of rows");
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void ImportMatrix(benchmark::State& state) {
    bench::TimeImportMatrix(state, ado::SqliteConnectionString(bench::DatabaseCopy(
                                       bench::MatrixRowsDatabase(bench::kMatrixRows), "import")));
}

void ImportMatrixRawSqlite(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    const std::string csv = bench::MatrixImportFile(lines);
    bench::RawDatabase db(
        bench::DatabaseCopy(bench::MatrixRowsDatabase(bench::kMatrixRows), "import_raw"));
    sqlite3_stmt* insert = nullptr;
    bench::Check(db.Handle(),
                 sqlite3_prepare_v2(db.Handle(), bench::kMatrixInsert, -1, &insert, nullptr));
    for (auto _ : state) {
        const auto records = bench::SplitImportFile(csv);
        db.Execute("BEGIN IMMEDIATE");
        for (const auto& fields : records) {
            sqlite3_bind_int(insert, 1, 1);
            sqlite3_bind_int(insert, 2, bench::kImportCriterion);
            for (int i = 0; i < 4; ++i)
                sqlite3_bind_text(insert, i + 3, fields[i].data(),
                                  static_cast<int>(fields[i].size()), SQLITE_STATIC);
            bench::Check(db.Handle(), sqlite3_step(insert));
            sqlite3_reset(insert);
        }
        db.Execute("COMMIT");
        state.PauseTiming();
        if (db.Execute(bench::kEmptyImportCriterion) != lines)
            state.SkipWithError("wrong number of rows");
        state.ResumeTiming();
    }
    sqlite3_finalize(insert);
    state.SetItemsProcessed(state.iterations() * lines);
}

}  // namespace

BENCHMARK(OpenMatrixWindow)->Arg(bench::kMatrixRows)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenMatrixWindowRawSqlite)->Arg(bench::kMatrixRows)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportMatrix)->Arg(bench::kMatrixRows)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportMatrixRawSqlite)->Arg(bench::kMatrixRows)->Unit(benchmark::kMillisecond);
