// Deleting a criterion with its guard on the counter-account rows, the renumbering and the
// reload, beside a raw baseline of the same database work in one transaction: the guard query,
// the delete by key matching every column as read, the renumbering of the type and the criteria
// query read to the end. Each iteration deletes the criterion that took the line of the one
// before, so the number of iterations is fixed: the list shrinks by a few rows.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/criteria_database.h"
#include "bench/raw_sqlite.h"
#include "bench/window_actions.h"
#include "platform/ado/connection_string.h"
#include "window/criteria_statements.h"

namespace {

void DeleteCriterion(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    bench::TimeDeleteCriterion(
        state, ado::SqliteConnectionString(bench::CriteriaDatabaseCopy(criteria, "delete")),
        bench::MiddleOfType0(criteria));
}

// The conditions of the data layer's delete for the criteria of type 0 from the probe's line
// on, as they will be read: each after the renumbering that closed the gap of the one before,
// so at the probe's priority.
// Each row: the key, then the condition.
std::vector<std::vector<std::string>> DeleteConditions(bench::RawDatabase& db,
                                                       const bench::Probe& probe, int64_t count) {
    return db.Rows(
        "SELECT MGA0_ID, 'MGA0_ID IS ' || MGA0_ID || ' AND MGA0_DITTA_CG18 IS ' || "
        "quote(MGA0_DITTA_CG18)"
        " || ' AND MGA0_FLGRESO IS ' || quote(MGA0_FLGRESO) || ' AND MGA0_INDPRIOR IS " +
        std::to_string(probe.priority) +
        "' || ' AND CAST(MGA0_DESCR AS TEXT) IS ' || quote(MGA0_DESCR)"
        " || ' AND CAST(MGA0_STRUTTURACAMPI AS TEXT) IS ' || quote(MGA0_STRUTTURACAMPI)"
        " || ' AND MG99_IDMEDIA_CG99 IS ' || quote(MG99_IDMEDIA_CG99)"
        " FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = 1 AND MGA0_FLGRESO = 0"
        " ORDER BY MGA0_INDPRIOR LIMIT " +
        std::to_string(count) + " OFFSET " + std::to_string(probe.line - 1));
}

void DeleteCriterionRawSqlite(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    auto probe = bench::MiddleOfType0(criteria);
    bench::RawDatabase db(bench::CriteriaDatabaseCopy(criteria, "delete_raw"));
    const auto conditions = DeleteConditions(db, probe, state.max_iterations);
    const auto renumber =
        dravel::RenumberStatements(ado::Dialect::Sqlite, com::Variant(1), com::Variant(0));
    const std::string query = dravel::CriteriaQuery(com::Variant(1), ado::Dialect::Sqlite);
    size_t deleted = 0;
    for (auto _ : state) {
        const auto& row = conditions.at(deleted++);
        db.Execute("BEGIN IMMEDIATE");
        if (db.ReadAll(dravel::MatrixGuardQuery(com::Variant(1), com::Variant(row[0]))) != 0)
            state.SkipWithError("the criterion has counter-account rows");
        if (db.Execute("DELETE FROM \"MGA0_QUINTAB\" WHERE " + row[1]) != 1)
            state.SkipWithError("the row was not deleted");
        for (const auto& sql : renumber) db.Execute(sql);
        if (db.ReadAll(query) != criteria - static_cast<int>(deleted))
            state.SkipWithError("wrong number of rows");
        db.Execute("COMMIT");
    }
    state.SetItemsProcessed(state.iterations() * criteria);
}

}  // namespace

// Fewer deletes the longer the list: enough to time, few enough to leave it much as it was.
BENCHMARK(DeleteCriterion)->Arg(1000)->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteCriterion)->Arg(10000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteCriterion)->Arg(99999)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteCriterionRawSqlite)->Arg(1000)->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteCriterionRawSqlite)->Arg(10000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteCriterionRawSqlite)->Arg(99999)->Iterations(5)->Unit(benchmark::kMillisecond);
