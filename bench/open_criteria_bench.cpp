// Opening the company's criteria into the window's recordset, beside a raw sqlite3_step loop
// over the same query that reads every column.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include "bench/criteria_database.h"
#include "platform/ado/recordset.h"
#include "window/criteria_statements.h"

namespace {

const std::string& Query() {
    static const std::string sql = dravel::CriteriaQuery(com::Variant(1));
    return sql;
}

void OpenCriteriaRecordset(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    auto connection = ado::Connection::Create();
    connection->Open("Provider=SQLite;Data Source=" + bench::CriteriaDatabase(criteria));
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
    sqlite3* db = nullptr;
    sqlite3_open_v2(bench::CriteriaDatabase(criteria).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, Query().c_str(), -1, &stmt, nullptr);
        int rows = 0;
        int64_t sum = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            ++rows;
            for (int c = 0, n = sqlite3_column_count(stmt); c < n; ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                    case SQLITE_INTEGER:
                        sum += sqlite3_column_int64(stmt, c);
                        break;
                    case SQLITE_FLOAT:
                        sum += static_cast<int64_t>(sqlite3_column_double(stmt, c));
                        break;
                    case SQLITE_TEXT:
                        sum += *sqlite3_column_text(stmt, c) + sqlite3_column_bytes(stmt, c);
                        break;
                    default:
                        break;
                }
            }
        }
        sqlite3_finalize(stmt);
        if (rows != criteria) state.SkipWithError("wrong number of rows");
        benchmark::DoNotOptimize(sum);
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * criteria);
}

}  // namespace

BENCHMARK(OpenCriteriaRecordset)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenCriteriaRawSqlite)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
