#include "bench/ratio_reporter.h"

#include <ostream>

namespace bench {

// Of the times measured, or of the medians when the benchmarks were repeated (the median comes
// after the repetitions).
void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
        if (run.error_occurred) continue;
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
        times_[run.run_name.function_name][run.run_name.args] = run.GetAdjustedRealTime();
    }
}

void RatioReporter::Finalize() {
    for (const auto& pair : pairs_) {
        const auto& baseline = times_[pair.baseline];
        for (const auto& [criteria, timed] : times_[pair.timed]) {
            auto b = baseline.find(criteria);
            if (b == baseline.end() || b->second <= 0) continue;
            GetOutputStream() << pair.label << " with " << criteria << " criteria: " << timed
                              << " ms / " << b->second << " ms = " << timed / b->second << "\n";
        }
    }
    ConsoleReporter::Finalize();
}

int RunWithRatios(int argc, char** argv, std::vector<RatioReporter::Pair> pairs) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
