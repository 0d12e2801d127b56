// Opening the criteria window on PostgreSQL and closing it again, beside raw ODBC calls that send
// what the product sends: on the host's connection the company read by its code; then the
// window's own connection, its isolation level set, the criteria query read to the end, and
// the connection closed. What the data layer asks on top (the driver's catalogue for the base
// table, the table's primary key) is the layers' cost, which the ratio measures.

#include <benchmark/benchmark.h>

#include "bench/raw_odbc.h"
#include "bench/server/server_databases.h"
#include "bench/window_actions.h"
#include "window/criteria_statements.h"

namespace {

void OpenWindowPostgresql(benchmark::State& state) {
    bench::TimeOpenWindow(state, bench::ServerCriteriaDatabase(static_cast<int>(state.range(0))));
}

void OpenWindowRawOdbc(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    const std::string database = bench::ServerCriteriaDatabase(criteria);
    const std::string query = dravel::CriteriaQuery(com::Variant(1), ado::Dialect::Postgresql);
    bench::RawOdbc host(database);
    bench::RawStatement company(host,
                                "SELECT DITTA_CODICE, DITTA_RAGSOC, DITTA_PARAMTIPICONTO, "
                                "DITTA_ANNIDACLASSI FROM HOST_DITTE WHERE DITTA_CODICE = ?");
    for (auto _ : state) {
        if (company.ReadAll({1}) != 1) state.SkipWithError("no company");
        bench::RawOdbc window(database);
        window.SetIsolation(SQL_TXN_READ_UNCOMMITTED);
        if (window.ReadAll(query) != criteria) state.SkipWithError("wrong number of rows");
    }
    state.SetItemsProcessed(state.iterations() * criteria);
}

}  // namespace

BENCHMARK(OpenWindowPostgresql)->Arg(1000)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenWindowRawOdbc)->Arg(1000)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
