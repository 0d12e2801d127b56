// Moving a criterion down and back up with the priority toolbar, beside a raw baseline of the
// same database work: per move, the two priorities written in one transaction and the criteria
// query read to the end. Down then up leaves the rows as they were, so every iteration is alike.

#include <benchmark/benchmark.h>

#include "bench/criteria_database.h"
#include "bench/raw_sqlite.h"
#include "bench/window_actions.h"
#include "platform/ado/connection_string.h"
#include "window/criteria_statements.h"

namespace {

void MoveCriterion(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    bench::TimeMoveCriterion(
        state, ado::SqliteConnectionString(bench::CriteriaDatabaseCopy(criteria, "move")),
        bench::MiddleOfType0(criteria));
}

void MoveCriterionRawSqlite(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    auto probe = bench::MiddleOfType0(criteria);
    bench::RawDatabase db(bench::CriteriaDatabaseCopy(criteria, "move_raw"));
    const std::string query = dravel::CriteriaQuery(com::Variant(1), ado::Dialect::Sqlite);
    // As the data layer writes a row: by key, and only if the priority is still the one read.
    auto setPriority = [&](int32_t id, int32_t from, int32_t to) {
        if (db.Execute("UPDATE MGA0_QUINTAB SET MGA0_INDPRIOR = " + std::to_string(to) +
                       " WHERE MGA0_ID IS " + std::to_string(id) + " AND MGA0_INDPRIOR IS " +
                       std::to_string(from)) != 1)
            state.SkipWithError("the row was not updated");
    };
    // The neighbour first, then the criterion, in one transaction; then the list again. The
    // two exchange their numbers: down from where they were, up from where down left them.
    auto move = [&](bool down) {
        int32_t neighbourHad = down ? probe.nextPriority : probe.priority;
        int32_t criterionHad = down ? probe.priority : probe.nextPriority;
        db.Execute("BEGIN IMMEDIATE");
        setPriority(probe.nextId, neighbourHad, criterionHad);
        setPriority(probe.id, criterionHad, neighbourHad);
        db.Execute("COMMIT");
        if (db.ReadAll(query) != criteria) state.SkipWithError("wrong number of rows");
    };
    for (auto _ : state) {
        move(true);
        move(false);
    }
    state.SetItemsProcessed(state.iterations() * bench::kMoves * criteria);
    state.counters["moves"] = bench::kMoves;
}

}  // namespace

BENCHMARK(MoveCriterion)->Arg(1000)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
BENCHMARK(MoveCriterionRawSqlite)->Arg(1000)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
