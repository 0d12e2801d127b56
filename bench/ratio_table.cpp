#include "bench/ratio_table.h"

#include <fmt/format.h>

#include <algorithm>

namespace bench {

const std::vector<Action>& Actions() {
    static const std::vector<Action> actions = {
        {"open the recordset", "SQLite", "OpenCriteriaRecordset", "OpenCriteriaRawSqlite"},
        {"open the window", "SQLite", "OpenWindow", "OpenWindowRawSqlite"},
        {"save, renumber, reload", "SQLite", "SaveCriterion", "SaveCriterionRawSqlite"},
        {"move down and up", "SQLite", "MoveCriterion", "MoveCriterionRawSqlite"},
        {"delete, guard, renumber, reload", "SQLite", "DeleteCriterion",
         "DeleteCriterionRawSqlite"},
        // Beside the models alone, and beside the same widgets made with plain Qt.
        {"desktop window vs headless", "SQLite", "OpenWindowQt", "OpenWindowHeadless"},
        {"desktop window vs plain Qt", "SQLite", "OpenWindowQt", "OpenWindowPlainQt"},
        {"open the window", "PostgreSQL", "OpenWindowPostgresql", "OpenWindowRawOdbc"},
        {"save, renumber, reload", "PostgreSQL", "SaveCriterionPostgresql", "SaveCriterionRawOdbc"},
        {"move down and up", "PostgreSQL", "MoveCriterionPostgresql", "MoveCriterionRawOdbc"},
        {"delete, guard, renumber, reload", "PostgreSQL", "DeleteCriterionPostgresql",
         "DeleteCriterionRawOdbc"},
        // Sized by the matrix rows of the criterion, or the lines of the file.
        {"open the matrix window", "SQLite", "OpenMatrixWindow", "OpenMatrixWindowRawSqlite"},
        {"import matrix rows", "SQLite", "ImportMatrix", "ImportMatrixRawSqlite"},
        {"open the matrix window", "PostgreSQL", "OpenMatrixWindowPostgresql",
         "OpenMatrixWindowRawOdbc"},
        {"import matrix rows", "PostgreSQL", "ImportMatrixPostgresql", "ImportMatrixRawOdbc"},
        // Sized by the records printed; the product is the program run as a user runs it.
        {"dravel history", "SQLite", "HistoryCommand", "HistoryRawSqlite"},
    };
    return actions;
}

std::vector<Ratio> Ratios(const Times& times) {
    std::vector<Ratio> ratios;
    for (const auto& action : Actions()) {
        auto timed = times.find(action.timed), baseline = times.find(action.baseline);
        if (timed == times.end() || baseline == times.end()) continue;
        for (const auto& [criteria, ms] : timed->second) {
            auto b = baseline->second.find(criteria);
            if (b != baseline->second.end() && b->second > 0)
                ratios.push_back({&action, criteria, ms, b->second});
        }
    }
    return ratios;
}

void PrintTable(std::ostream& out, const std::vector<Ratio>& ratios, int from, int to) {
    out << fmt::format("{:<32} {:<10} {:>8} {:>12} {:>12} {:>6}\n", "action", "database", "size",
                       "product ms", "baseline ms", "ratio");
    for (const auto& r : ratios)
        out << fmt::format("{:<32} {:<10} {:>8} {:>12.3f} {:>12.3f} {:>6.2f}\n", r.action->label,
                           r.action->database, r.criteria, r.timed, r.baseline, r.Value());

    // Linear growth multiplies the time by the growth of the rows.
    out << fmt::format("\nGrowth from {} to {} criteria ({:.1f} times the rows):\n", from, to,
                       double(to) / from);
    for (const auto& action : Actions()) {
        const Ratio *small = nullptr, *large = nullptr;
        for (const auto& r : ratios) {
            if (r.action != &action) continue;
            if (r.criteria == from) small = &r;
            if (r.criteria == to) large = &r;
        }
        if (!small || !large) continue;
        out << fmt::format("{:<32} {:<10} product x{:.1f}, baseline x{:.1f}\n", action.label,
                           action.database, large->timed / small->timed,
                           large->baseline / small->baseline);
    }
}

bool Record(Times& times, const std::string& name, double milliseconds) {
    auto slash = name.find('/');
    if (slash == std::string::npos) return false;
    try {
        auto [it, added] = times[name.substr(0, slash)].try_emplace(
            std::stoi(name.substr(slash + 1)), milliseconds);
        it->second = std::min(it->second, milliseconds);
    } catch (const std::logic_error&) {
        return false;
    }
    return true;
}

void TimesReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
        if (run.error_occurred || run.run_type == Run::RT_Aggregate) continue;
        double ms =
            run.GetAdjustedRealTime() * 1000 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        Record(times_, run.benchmark_name(), ms);
    }
}

}  // namespace bench
