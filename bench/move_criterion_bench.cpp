// Moving a criterion down and back up with the priority toolbar, beside a raw baseline of the
// same database work: per move, the two priorities written in one transaction and the criteria
// query read to the end. Down then up leaves the rows as they were, so every iteration is alike.

#include <benchmark/benchmark.h>

#include "bench/criteria_database.h"
#include "bench/raw_sqlite.h"
#include "bench/window_session.h"
#include "window/criteria_statements.h"

namespace {

constexpr int16_t kUp = 0;
constexpr int16_t kDown = 1;
constexpr int kMoves = 2;

void Report(benchmark::State& state, int criteria) {
    state.SetItemsProcessed(state.iterations() * kMoves * criteria);
    state.counters["moves"] = kMoves;
}

void MoveCriterion(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    auto probe = bench::MiddleOfType0(criteria);
    bench::WindowSession session(bench::CriteriaDatabaseCopy(criteria, "move"));
    session.OpenOnLine(probe.line);
    auto& driver = session.Driver();
    for (auto _ : state) {
        driver.PressToolbar(session.Window(), "TBAR_PRIORITY", kDown);
        if (session.CurrentGridLine() != probe.line + 1) state.SkipWithError("no move down");
        driver.PressToolbar(session.Window(), "TBAR_PRIORITY", kUp);
        if (session.CurrentGridLine() != probe.line) state.SkipWithError("no move up");
    }
    session.FailOnTrouble(state);
    session.Close();
    Report(state, criteria);
}

void MoveCriterionRawSqlite(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    auto probe = bench::MiddleOfType0(criteria);
    bench::RawDatabase db(bench::CriteriaDatabaseCopy(criteria, "move_raw"));
    const std::string query = dravel::CriteriaQuery(com::Variant(1));
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
    Report(state, criteria);
}

}  // namespace

BENCHMARK(MoveCriterion)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(MoveCriterionRawSqlite)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
