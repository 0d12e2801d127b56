// The history on SQLite: `dravel history` printing a criterion's 1,000,000 records, as a user runs
// it, beside one raw select of the same records formatting the same lines.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>

#include "bench/criteria_database.h"
#include "bench/raw_sqlite.h"
#include "framework/history_text.h"
#include "platform/ado/connection_string.h"

namespace {

constexpr int kRecords = 1000000;

// Company 1 with `records` changes of matrix rows of criterion 1, a day's worth of seconds apart,
// then a tenth as many of criterion 2 (the newest), which the reading passes over.
void FillHistory(ado::Connection& connection, int records) {
    bench::FillCriteria(connection, 7);
    for (const auto& [criterion, count] : {std::pair(1, records), std::pair(2, records / 10)})
        connection.ExecuteWith(
            "INSERT INTO HOST_STORICO (STORICO_QUANDO, STORICO_UTENTE, STORICO_PROGRAMMA, "
            "STORICO_DITTA, STORICO_AZIONE, STORICO_TABELLA, STORICO_CHIAVE, STORICO_CRITERIO, "
            "STORICO_DETTAGLIO) "
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
            "SELECT strftime('%Y-%m-%d %H:%M:%f', 1767225600 + i, 'unixepoch'), 'mario', "
            "'dravel-host', 1, 'modifica', 'MGA1_MATRCPAR', i, ?, "
            "'{\"changed\":{\"MGA1_CONTO\":[\"60.' || i || '\",\"61.' || i || '\"]}}' FROM n",
            {com::Variant(static_cast<int32_t>(count)), com::Variant(criterion)});
    connection.Execute("ANALYZE");
}

const std::string& HistoryDatabase() {
    static const std::string file = [] {
        const auto path = (bench::TemporaryFolder() / "history.db").string();
        auto connection = ado::Connection::Create();
        connection->Open(ado::SqliteConnectionString(path));
        FillHistory(*connection, kRecords);
        return path;
    }();
    return file;
}

void HistoryCommand(benchmark::State& state) {
    const std::string command = std::string("'") + DRAVEL_CLI_PATH +
                                "' history --language it --company 1 --criterion 1 --database '" +
                                HistoryDatabase() + "' > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("dravel history failed");
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void HistoryRawSqlite(benchmark::State& state) {
    bench::RawDatabase db(HistoryDatabase());
    std::ofstream out("/dev/null");
    for (auto _ : state) {
        sqlite3_stmt* select = nullptr;
        bench::Check(db.Handle(),
                     sqlite3_prepare_v2(
                         db.Handle(),
                         "SELECT STORICO_ID, STORICO_QUANDO, STORICO_UTENTE, STORICO_PROGRAMMA, "
                         "STORICO_AZIONE, STORICO_TABELLA, STORICO_CHIAVE, STORICO_DETTAGLIO "
                         "FROM HOST_STORICO WHERE STORICO_DITTA = 1 AND STORICO_CRITERIO = 1 "
                         "ORDER BY STORICO_ID DESC",
                         -1, &select, nullptr));
        const auto text = [&](int column) {
            return std::string(reinterpret_cast<const char*>(sqlite3_column_text(select, column)));
        };
        int read = 0, rc;
        for (; (rc = sqlite3_step(select)) == SQLITE_ROW; ++read) {
            const db::HistoryRecord record{.id = sqlite3_column_int64(select, 0),
                                           .when = text(1),
                                           .user = text(2),
                                           .program = text(3),
                                           .company = 1,
                                           .action = text(4),
                                           .table = text(5),
                                           .key = sqlite3_column_int(select, 6),
                                           .criterion = 1,
                                           .detail = text(7)};
            out << framework::HistoryHeadline(record) << "\n";
            for (const auto& line : framework::HistoryDetailLines(record.detail))
                out << "    " << line << "\n";
        }
        sqlite3_finalize(select);
        bench::Check(db.Handle(), rc);
        if (read != kRecords) state.SkipWithError("wrong number of records");
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

}  // namespace

BENCHMARK(HistoryCommand)->Arg(kRecords)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HistoryRawSqlite)->Arg(kRecords)->Unit(benchmark::kMillisecond);
