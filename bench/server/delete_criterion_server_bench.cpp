// Deleting a criterion on PostgreSQL with its guard on the counter-account rows, the
// renumbering and the reload, beside raw ODBC calls that send what the product sends, in one
// transaction: the guard query, the delete by key matching every column as read, the
// renumbering of the type and the criteria query read to the end. Each iteration deletes the
// criterion that took the line of the one before, so the number of iterations is fixed.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/raw_odbc.h"
#include "bench/server/server_databases.h"
#include "bench/window_actions.h"
#include "window/criteria_statements.h"

namespace {

void DeleteCriterionPostgresql(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    bench::TimeDeleteCriterion(state, bench::ServerCriteriaDatabaseCopy(criteria, "delete"),
                               bench::MiddleOfType0(bench::ServerCriteriaDatabase(criteria)));
}

bench::RawParam Param(const com::Variant& value) {
    if (value.IsNull()) return std::monostate{};
    if (value.IsText()) return value.ToText();
    return value.ToLong();
}

void DeleteCriterionRawOdbc(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    auto probe = bench::MiddleOfType0(bench::ServerCriteriaDatabase(criteria));
    const std::string copy = bench::ServerCriteriaDatabaseCopy(criteria, "delete_raw");
    // Each as read after the renumbering that closed the gap of the one before: at the probe's
    // priority.
    auto doomed = bench::CriteriaFromLine(copy, probe.line, state.max_iterations);
    bench::RawOdbc db(copy);
    db.SetIsolation(SQL_TXN_READ_UNCOMMITTED);
    // The data layer's text: names as the driver reports the base table's, quoted, in the
    // order of the query's columns.
    bench::RawStatement remove(
        db, R"(DELETE FROM "mga0_quintab" WHERE "mga0_id" = ? AND )"
            R"("mga0_ditta_cg18" IS NOT DISTINCT FROM ? AND "mga0_flgreso" IS NOT DISTINCT FROM )"
            R"(? AND "mga0_indprior" IS NOT DISTINCT FROM ? AND "mga0_descr" IS NOT DISTINCT )"
            R"(FROM ? AND "mga0_strutturacampi" IS NOT DISTINCT FROM ? AND )"
            R"("mg99_idmedia_cg99" IS NOT DISTINCT FROM ?)");
    const auto renumber =
        dravel::RenumberStatements(ado::Dialect::Postgresql, com::Variant(1), com::Variant(0));
    const std::string query = dravel::CriteriaQuery(com::Variant(1), ado::Dialect::Postgresql);
    size_t deleted = 0;
    for (auto _ : state) {
        const auto& row = doomed.at(deleted++);
        std::vector<bench::RawParam> params;
        for (const auto& value : row) params.push_back(Param(value));
        params[3] = probe.priority;
        db.Begin();
        if (db.ReadAll(dravel::MatrixGuardQuery(com::Variant(1), row[0])) != 0)
            state.SkipWithError("the criterion has counter-account rows");
        if (remove.Execute(params) != 1) state.SkipWithError("the row was not deleted");
        for (const auto& sql : renumber) db.Execute(sql);
        if (db.ReadAll(query) != criteria - static_cast<int>(deleted))
            state.SkipWithError("wrong number of rows");
        db.Commit();
    }
    state.SetItemsProcessed(state.iterations() * criteria);
}

}  // namespace

// Fewer deletes the longer the list: enough to time, few enough to leave it much as it was.
BENCHMARK(DeleteCriterionPostgresql)->Arg(1000)->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteCriterionPostgresql)->Arg(10000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteCriterionPostgresql)->Arg(99999)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteCriterionRawOdbc)->Arg(1000)->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteCriterionRawOdbc)->Arg(10000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteCriterionRawOdbc)->Arg(99999)->Iterations(5)->Unit(benchmark::kMillisecond);
