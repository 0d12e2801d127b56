// The counter-account matrix on PostgreSQL beside raw ODBC calls: opening its window on a
// criterion with N rows (raw: a connection of its own reading the window's select to its end),
// and importing a file of N lines (raw: one prepared insert per line in one transaction).

#include <benchmark/benchmark.h>

#include "bench/matrix_actions.h"
#include "bench/matrix_rows_database.h"
#include "bench/raw_odbc.h"
#include "bench/server/server_databases.h"

namespace {

void OpenMatrixWindowPostgresql(benchmark::State& state) {
    bench::TimeOpenMatrixWindow(state,
                                bench::ServerMatrixRowsDatabase(static_cast<int>(state.range(0))));
}

void OpenMatrixWindowRawOdbc(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const std::string database = bench::ServerMatrixRowsDatabase(rows);
    for (auto _ : state) {
        bench::RawOdbc window(database);
        if (window.ReadAll(bench::kMatrixWindowQuery) != rows)
            state.SkipWithError("wrong number of rows");
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void ImportMatrixPostgresql(benchmark::State& state) {
    bench::TimeImportMatrix(state,
                            bench::ServerMatrixRowsDatabaseCopy(bench::kMatrixRows, "import"));
}

void ImportMatrixRawOdbc(benchmark::State& state) {
    const int lines = static_cast<int>(state.range(0));
    const std::string csv = bench::MatrixImportFile(lines);
    bench::RawOdbc db(bench::ServerMatrixRowsDatabaseCopy(bench::kMatrixRows, "import_raw"));
    bench::RawStatement insert(db, bench::kMatrixInsert);
    for (auto _ : state) {
        const auto records = bench::SplitImportFile(csv);
        db.Begin();
        for (const auto& f : records)
            insert.Execute({1, bench::kImportCriterion, f[0], f[1], f[2], f[3]});
        db.Commit();
        state.PauseTiming();
        if (db.Execute(bench::kEmptyImportCriterion) != lines)
            state.SkipWithError("wrong number of rows");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * lines);
}

}  // namespace

BENCHMARK(OpenMatrixWindowPostgresql)->Arg(bench::kMatrixRows)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenMatrixWindowRawOdbc)->Arg(bench::kMatrixRows)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportMatrixPostgresql)->Arg(bench::kMatrixRows)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportMatrixRawOdbc)->Arg(bench::kMatrixRows)->Unit(benchmark::kMillisecond);
