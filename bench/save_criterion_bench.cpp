// Saving a changed description of one criterion, with the renumbering and the reload that
// follow, beside a raw baseline of the same database work: the stored type read by key (the
// window's check for a changed type), one UPDATE, the renumbering of types 0 and 1 and the
// criteria query read to the end. Two descriptions alternate, so every save changes the row.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/criteria_database.h"
#include "bench/raw_sqlite.h"
#include "bench/window_session.h"
#include "window/criteria_statements.h"

namespace {

constexpr const char* kDescriptions[] = {"Categoria, Codice articolo", "Macrocategoria, Cliente"};

// The renumbering of types 0 and 1 that follows every save, in this database's dialect.
std::vector<std::string> Renumbering() {
    std::vector<std::string> statements;
    for (int type : {0, 1})
        for (auto& sql :
             dravel::RenumberStatements(ado::Dialect::Sqlite, com::Variant(1), com::Variant(type)))
            statements.push_back(std::move(sql));
    return statements;
}

// Per save: the type read back, the update, the renumbering and the reload.
void Report(benchmark::State& state, int criteria) {
    state.SetItemsProcessed(state.iterations() * criteria);
    state.counters["statements"] = static_cast<double>(3 + Renumbering().size());
}

void SaveCriterion(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    auto probe = bench::MiddleOfType0(criteria);
    bench::WindowSession session(bench::CriteriaDatabaseCopy(criteria, "save"));
    session.OpenOnLine(probe.line);
    size_t saves = 0;
    for (auto _ : state) {
        session.Driver().Type(session.Window(), "TXT_DESCR", kDescriptions[saves++ % 2]);
        session.Driver().Press(session.Window(), "INTERNAV", "Conferma");
        if (session.CurrentGridLine() != probe.line) state.SkipWithError("the frame moved");
    }
    if (saves > 0 && session.Text("TXT_DESCR") != kDescriptions[(saves - 1) % 2])
        state.SkipWithError("the description was not saved");
    session.FailOnTrouble(state);
    session.Close();
    Report(state, criteria);
}

void SaveCriterionRawSqlite(benchmark::State& state) {
    int criteria = static_cast<int>(state.range(0));
    auto probe = bench::MiddleOfType0(criteria);
    bench::RawDatabase db(bench::CriteriaDatabaseCopy(criteria, "save_raw"));
    const std::string id = std::to_string(probe.id);
    const std::string storedType = "SELECT MGA0_FLGRESO FROM MGA0_QUINTAB WHERE MGA0_ID IS " + id;
    const std::vector<std::string> renumber = Renumbering();
    const std::string query = dravel::CriteriaQuery(com::Variant(1));
    std::string previous = probe.description;
    size_t saves = 0;
    for (auto _ : state) {
        std::string description = kDescriptions[saves++ % 2];
        if (db.ReadAll(storedType) != 1) state.SkipWithError("no stored type");
        // As the data layer writes a row: by key, and only if the column still holds what was read.
        if (db.Execute("UPDATE MGA0_QUINTAB SET MGA0_DESCR = '" + description +
                       "' WHERE MGA0_ID IS " + id + " AND MGA0_DESCR IS '" + previous + "'") != 1)
            state.SkipWithError("the row was not updated");
        for (const auto& sql : renumber) db.Execute(sql);
        if (db.ReadAll(query) != criteria) state.SkipWithError("wrong number of rows");
        previous = description;
    }
    Report(state, criteria);
}

}  // namespace

BENCHMARK(SaveCriterion)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveCriterionRawSqlite)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
