// Saving a changed description of one criterion, with the renumbering and the reload that
// follow, beside a raw baseline of the same database work: the stored type read by key (the
// window's check for a changed type), one UPDATE, the renumbering of types 0 and 1 and the
// criteria query read to the end.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/criteria_database.h"
#include "bench/raw_sqlite.h"
#include "bench/window_actions.h"
#include "platform/ado/connection_string.h"
#include "window/criteria_statements.h"

namespace {

// The renumbering of types 0 and 1 that follows every save, in this database's dialect.
std::vector<std::string> Renumbering() {
    std::vector<std::string> statements;
    for (int type : {0, 1})
        for (auto& sql :
             dravel::RenumberStatements(ado::Dialect::Sqlite, com::Variant(1), com::Variant(type)))
            statements.push_back(std::move(sql));
    return statements;
}

void SaveCriterion(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    bench::TimeSaveCriterion(
        state, ado::SqliteConnectionString(bench::CriteriaDatabaseCopy(criteria, "save")),
        bench::MiddleOfType0(criteria));
}

void SaveCriterionRawSqlite(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    auto probe = bench::MiddleOfType0(criteria);
    bench::RawDatabase db(bench::CriteriaDatabaseCopy(criteria, "save_raw"));
    const std::string id = std::to_string(probe.id);
    const std::string storedType = "SELECT MGA0_FLGRESO FROM MGA0_QUINTAB WHERE MGA0_ID IS " + id;
    const std::vector<std::string> renumber = Renumbering();
    const std::string query = dravel::CriteriaQuery(com::Variant(1), ado::Dialect::Sqlite);
    std::string previous = probe.description;
    size_t saves = 0;
    for (auto _ : state) {
        std::string description = bench::kDescriptions[saves++ % 2];
        if (db.ReadAll(storedType) != 1) state.SkipWithError("no stored type");
        // As the data layer writes a row: by key, and only if the column still holds what was read.
        if (db.Execute("UPDATE MGA0_QUINTAB SET MGA0_DESCR = '" + description +
                       "' WHERE MGA0_ID IS " + id + " AND MGA0_DESCR IS '" + previous + "'") != 1)
            state.SkipWithError("the row was not updated");
        for (const auto& sql : renumber) db.Execute(sql);
        if (db.ReadAll(query) != criteria) state.SkipWithError("wrong number of rows");
        previous = description;
    }
    state.SetItemsProcessed(state.iterations() * criteria);
    state.counters["statements"] = static_cast<double>(3 + renumber.size());
}

}  // namespace

BENCHMARK(SaveCriterion)->Arg(1000)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveCriterionRawSqlite)->Arg(1000)->Arg(10000)->Arg(99999)->Unit(benchmark::kMillisecond);
