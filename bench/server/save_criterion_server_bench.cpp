// Saving a changed description of one criterion on PostgreSQL, with the renumbering and the
// reload that follow, beside raw ODBC calls that send what the product sends, in one
// transaction: the stored type read by key (before the write, to see whether the type changed,
// and after it, as stored), the update by key matching the description as read, the
// renumbering of types 0 and 1 and the criteria query read to the end.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/raw_odbc.h"
#include "bench/server/server_databases.h"
#include "bench/window_actions.h"
#include "window/criteria_statements.h"

namespace {

void SaveCriterionPostgresql(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    bench::TimeSaveCriterion(state, bench::ServerCriteriaDatabaseCopy(criteria, "save"),
                             bench::MiddleOfType0(bench::ServerCriteriaDatabase(criteria)));
}

void SaveCriterionRawOdbc(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    auto probe = bench::MiddleOfType0(bench::ServerCriteriaDatabase(criteria));
    bench::RawOdbc db(bench::ServerCriteriaDatabaseCopy(criteria, "save_raw"));
    db.SetIsolation(SQL_TXN_READ_UNCOMMITTED);
    // The data layer's texts: names as the driver reports the base table's, quoted.
    bench::RawStatement storedType(
        db, R"(SELECT "mga0_flgreso" FROM "mga0_quintab" WHERE "mga0_id" = ?)");
    bench::RawStatement update(db, R"(UPDATE "mga0_quintab" SET "mga0_descr" = ? WHERE )"
                                   R"("mga0_id" = ? AND "mga0_descr" IS NOT DISTINCT FROM ?)");
    std::vector<std::string> renumber;
    for (int type : {0, 1})
        for (auto& sql : dravel::RenumberStatements(ado::Dialect::Postgresql, com::Variant(1),
                                                    com::Variant(type)))
            renumber.push_back(std::move(sql));
    const std::string query = dravel::CriteriaQuery(com::Variant(1), ado::Dialect::Postgresql);
    std::string previous = probe.description;
    size_t saves = 0;
    for (auto _ : state) {
        std::string description = bench::kDescriptions[saves++ % 2];
        db.Begin();
        if (storedType.ReadAll({probe.id}) != 1) state.SkipWithError("no stored type");
        if (update.Execute({description, probe.id, previous}) != 1)
            state.SkipWithError("the row was not updated");
        if (storedType.ReadAll({probe.id}) != 1) state.SkipWithError("no stored type");
        for (const auto& sql : renumber) db.Execute(sql);
        if (db.ReadAll(query) != criteria) state.SkipWithError("wrong number of rows");
        db.Commit();
        previous = description;
    }
    state.SetItemsProcessed(state.iterations() * criteria);
}

}  // namespace

BENCHMARK(SaveCriterionPostgresql)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(99999)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(SaveCriterionRawOdbc)->Arg(1000)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
