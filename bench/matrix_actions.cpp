#include "bench/matrix_actions.h"

#include <sstream>

#include "bench/matrix_rows_database.h"
#include "bench/window_session.h"
#include "determination/matrix_import.h"
#include "framework/csv_reader.h"
#include "platform/ado/recordset.h"
#include "platform/com/user_files.h"

namespace bench {

void TimeOpenMatrixWindow(benchmark::State& state, const std::string& connectionString) {
    const int rows = static_cast<int>(state.range(0));
    WindowSession session(connectionString);
    for (auto _ : state) {
        auto& window = session.OpenMatrix(kFullCriterion);
        if (WindowSession::LineCount(window, "GRD_RIGHE") != rows)
            state.SkipWithError("wrong number of lines");
        if (WindowSession::LineCells(window, "GRD_RIGHE", 1).empty())
            state.SkipWithError("no line shown");
        session.CloseMatrix();
    }
    session.FailOnTrouble(state);
    state.SetItemsProcessed(state.iterations() * rows);
}

void TimeImportMatrix(benchmark::State& state, const std::string& connectionString) {
    const int lines = static_cast<int>(state.range(0));
    const std::string file = MatrixImportFile(lines);
    auto connection = ado::Connection::Create();
    connection->Open(connectionString);
    const determination::Translate same = [](const std::string& text) { return text; };
    for (auto _ : state) {
        std::istringstream content(com::ReadFile(file));
        std::vector<determination::FileRecord> records;
        const auto quoteError = framework::ReadCsv(content, [&](size_t line, auto& cells) {
            records.push_back({line, std::move(cells)});
        });
        const auto outcome = determination::ImportRows(*connection, 1, kImportCriterion, records,
                                                       {.readWhole = !quoteError}, same);
        if (quoteError || !outcome.faults.empty() || outcome.added != static_cast<size_t>(lines))
            state.SkipWithError("the import was refused");
        state.PauseTiming();
        connection->Execute(kEmptyImportCriterion);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * lines);
}

}  // namespace bench
