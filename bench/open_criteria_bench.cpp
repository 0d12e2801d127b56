// Opening the company's criteria into the window's recordset, beside a raw sqlite3_step loop
// over the same query that reads every column.

#include <benchmark/benchmark.h>

#include "bench/criteria_database.h"
#include "bench/raw_sqlite.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/recordset.h"
#include "window/criteria_statements.h"

namespace {

const std::string& Query() {
    static const std::string sql = dravel::CriteriaQuery(com::Variant(1), ado::Dialect::Sqlite);
    return sql;
}

void OpenCriteriaRecordset(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    auto connection = ado::Connection::Create();
    connection->Open(ado::SqliteConnectionString(bench::CriteriaDatabase(criteria)));
    for (auto _ : state) {
        auto rs = ado::Recordset::Create();
        rs->Open(Query(), connection.Get(), ado::adOpenStatic, ado::adLockBatchOptimistic);
        if (rs->RecordCount() != criteria) state.SkipWithError("wrong number of rows");
        benchmark::DoNotOptimize(rs.Get());
    }
    state.SetItemsProcessed(state.iterations() * criteria);
}

void OpenCriteriaRawSqlite(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    bench::RawDatabase db(bench::CriteriaDatabase(criteria));
    for (auto _ : state)
        if (db.ReadAll(Query()) != criteria) state.SkipWithError("wrong number of rows");
    state.SetItemsProcessed(state.iterations() * criteria);
}

}  // namespace

BENCHMARK(OpenCriteriaRecordset)->Arg(1000)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenCriteriaRawSqlite)->Arg(1000)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
