// Resolving a posting's account and checking a whole company with 10,000 criteria and 1,000,000
// matrix rows, beside raw sqlite3_step loops over the same statements reading the same rows.

#include <benchmark/benchmark.h>

#include "bench/criteria_database.h"
#include "bench/raw_sqlite.h"
#include "determination/check.h"
#include "determination/resolve.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/recordset.h"

namespace {

constexpr int kCriteria = bench::kMatrixCriteria;
// The last criterion of type 0 (ids 7, 14, ...): every other criterion of the type is tried
// before it answers.
constexpr int kLastOfType0 = kCriteria / 7 * 7;

const determination::AttributeValues kPosting{
    {"MACC", "M5"}, {"CATC", "C5"}, {"CODA", "A" + std::to_string(kLastOfType0)}};

void ResolveAccount(benchmark::State& state) {
    auto connection = ado::Connection::Create();
    connection->Open(ado::SqliteConnectionString(bench::MatrixDatabase()));
    for (auto _ : state) {
        auto walk = determination::Resolve(*connection, 1, 0, kPosting);
        if (!walk.Account()) state.SkipWithError("no account");
    }
}

void ResolveAccountRawSqlite(benchmark::State& state) {
    bench::RawDatabase db(bench::MatrixDatabase());
    const std::string criteria =
        "SELECT MGA0_ID, MGA0_FLGRESO, MGA0_INDPRIOR, MGA0_DESCR, MGA0_STRUTTURACAMPI "
        "FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = 1 AND MGA0_FLGRESO = 0";
    const std::string answers =
        "SELECT m.MGA1_ID_MGA0, m.MGA1_CONTO FROM MGA1_MATRCPAR m "
        "JOIN MGA0_QUINTAB q ON q.MGA0_ID = m.MGA1_ID_MGA0 "
        "WHERE q.MGA0_DITTA_CG18 = 1 AND q.MGA0_FLGRESO = 0 "
        "AND COALESCE(q.MGA0_STRUTTURACAMPI, '') = 'MACCCATCCODA' AND m.MGA1_DITTA_CG18 = 1 "
        "AND m.MGA1_VALORE01 = 'M5' AND m.MGA1_VALORE02 = 'C5' AND m.MGA1_VALORE03 = 'A" +
        std::to_string(kLastOfType0) + "' ORDER BY m.MGA1_ID";
    for (auto _ : state) {
        db.ReadAll(criteria);
        if (db.ReadAll(answers) != 1) state.SkipWithError("no account");
    }
}

void CheckCompany(benchmark::State& state) {
    auto connection = ado::Connection::Create();
    connection->Open(ado::SqliteConnectionString(bench::MatrixDatabase()));
    for (auto _ : state) benchmark::DoNotOptimize(determination::Check(*connection, 1).size());
}

// The criteria, then the rows of two hundred criteria of a type at a time, in the order they are
// tried, with the values of their three attributes.
void CheckCompanyRawSqlite(benchmark::State& state) {
    bench::RawDatabase db(bench::MatrixDatabase());
    for (auto _ : state) {
        db.ReadAll(
            "SELECT MGA0_ID, MGA0_FLGRESO, MGA0_INDPRIOR, MGA0_DESCR, MGA0_STRUTTURACAMPI "
            "FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = 1");
        int rows = 0;
        for (int type : {0, 1, 4, 5, 6, 7, 8}) {
            // Type t holds the ids with one remainder of 7, in priority order.
            const int first = type == 0 ? 7 : type == 1 ? 1 : type - 2;
            for (int id = first; id <= kCriteria;) {
                std::string ids;
                for (int n = 0; n < 200 && id <= kCriteria; ++n, id += 7)
                    ids += (ids.empty() ? "" : ", ") + std::to_string(id);
                rows += db.ReadAll(
                    "SELECT MGA1_ID_MGA0, MGA1_ID, MGA1_VALORE01, MGA1_VALORE02, MGA1_VALORE03 "
                    "FROM MGA1_MATRCPAR WHERE MGA1_DITTA_CG18 = 1 AND MGA1_ID_MGA0 IN (" +
                    ids + ") ORDER BY MGA1_ID");
            }
        }
        if (rows != kCriteria * bench::kMatrixRowsPerCriterion) state.SkipWithError("rows missing");
    }
}

}  // namespace

BENCHMARK(ResolveAccount)->Unit(benchmark::kMillisecond);
BENCHMARK(ResolveAccountRawSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckCompany)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(CheckCompanyRawSqlite)->Unit(benchmark::kMillisecond)->Iterations(3);
