// Moving a criterion down and back up with the priority toolbar on PostgreSQL, beside raw ODBC
// calls that send what the product sends: per move, the two priorities written by key (each
// matching the priority as read, the upper line's row first) in one transaction, then the
// criteria query read to the end.

#include <benchmark/benchmark.h>

#include "bench/raw_odbc.h"
#include "bench/server/server_databases.h"
#include "bench/window_actions.h"
#include "window/criteria_statements.h"

namespace {

void MoveCriterionPostgresql(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    bench::TimeMoveCriterion(state, bench::ServerCriteriaDatabaseCopy(criteria, "move"),
                             bench::MiddleOfType0(bench::ServerCriteriaDatabase(criteria)));
}

void MoveCriterionRawOdbc(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    auto probe = bench::MiddleOfType0(bench::ServerCriteriaDatabase(criteria));
    bench::RawOdbc db(bench::ServerCriteriaDatabaseCopy(criteria, "move_raw"));
    db.SetIsolation(SQL_TXN_READ_UNCOMMITTED);
    bench::RawStatement setPriority(
        db, R"(UPDATE "mga0_quintab" SET "mga0_indprior" = ? WHERE "mga0_id" = ? AND )"
            R"("mga0_indprior" IS NOT DISTINCT FROM ?)");
    const std::string query = dravel::CriteriaQuery(com::Variant(1), ado::Dialect::Postgresql);
    // The two exchange their numbers: down from where they were, up from where down left them.
    auto move = [&](int32_t upperId, int32_t lowerId, int32_t upperHad, int32_t lowerHad) {
        db.Begin();
        if (setPriority.Execute({lowerHad, upperId, upperHad}) != 1 ||
            setPriority.Execute({upperHad, lowerId, lowerHad}) != 1)
            state.SkipWithError("the row was not updated");
        db.Commit();
        if (db.ReadAll(query) != criteria) state.SkipWithError("wrong number of rows");
    };
    for (auto _ : state) {
        move(probe.id, probe.nextId, probe.priority, probe.nextPriority);
        move(probe.nextId, probe.id, probe.priority, probe.nextPriority);
    }
    state.SetItemsProcessed(state.iterations() * bench::kMoves * criteria);
    state.counters["moves"] = bench::kMoves;
}

}  // namespace

BENCHMARK(MoveCriterionPostgresql)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(99999)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(MoveCriterionRawOdbc)->Arg(1000)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
