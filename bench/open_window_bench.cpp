// Opening the criteria window on a company with N criteria and closing it again, beside a raw
// baseline of the same database work: the host reads the company, the window opens its own
// connection, reads the criteria query to the end and closes the connection.

#include <benchmark/benchmark.h>

#include "bench/criteria_database.h"
#include "bench/raw_sqlite.h"
#include "bench/window_actions.h"
#include "platform/ado/connection_string.h"
#include "window/criteria_statements.h"

namespace {

void OpenWindow(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    bench::TimeOpenWindow(state, ado::SqliteConnectionString(bench::CriteriaDatabase(criteria)));
}

void OpenWindowRawSqlite(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    const std::string file = bench::CriteriaDatabase(criteria);
    const std::string query = dravel::CriteriaQuery(com::Variant(1), ado::Dialect::Sqlite);
    bench::RawDatabase host(file);
    for (auto _ : state) {
        if (host.ReadAll(bench::kCompanyQuery) != 1) state.SkipWithError("no company");
        bench::RawDatabase window(file);
        if (window.ReadAll(query) != criteria) state.SkipWithError("wrong number of rows");
    }
    state.SetItemsProcessed(state.iterations() * criteria);
}

}  // namespace

BENCHMARK(OpenWindow)->Arg(1000)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenWindowRawSqlite)->Arg(1000)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
