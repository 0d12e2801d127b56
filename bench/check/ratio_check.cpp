// dravel-ratio-check: times the window's actions on SQLite with 10,000 criteria beside their
// raw baselines, and fails when the product takes more than 2.5 times its baseline for any of
// them. A ratio, not a time: it holds on a slow machine as on a fast one.

#include <benchmark/benchmark.h>

#include <iostream>
#include <set>

#include "bench/ratio_table.h"

namespace {

constexpr double kLimit = 2.5;
constexpr int kCriteria = 10000;

}  // namespace

int main(int argc, char** argv) {
    // Three short repetitions, the product's and the baseline's interleaved, each side judged by
    // its fastest: one slow moment of a busy machine does not fail the check.
    std::vector<char*> args(argv, argv + argc);
    std::string filter =
        "--benchmark_filter=^(OpenWindow|SaveCriterion|MoveCriterion|"
        "DeleteCriterion)(RawSqlite)?/" +
        std::to_string(kCriteria) + "(/|$)";
    std::string minTime = "--benchmark_min_time=0.1", repetitions = "--benchmark_repetitions=3",
                interleave = "--benchmark_enable_random_interleaving=true";
    for (std::string* flag : {&filter, &minTime, &repetitions, &interleave})
        args.push_back(flag->data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;
    bench::TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto ratios = bench::Ratios(reporter.Measured());
    std::set<std::string> checked;
    bool passed = true;
    for (const auto& r : ratios) {
        bool over = r.Value() > kLimit;
        std::cout << r.action->label << ": " << r.timed << " ms / " << r.baseline
                  << " ms = " << r.Value() << (over ? "  ABOVE THE LIMIT" : "") << "\n";
        passed = passed && !over;
        checked.insert(r.action->timed);
    }
    // A benchmark that failed has no time, and its action no ratio: that fails too.
    for (const char* action : {"OpenWindow", "SaveCriterion", "MoveCriterion", "DeleteCriterion"})
        if (!checked.count(action)) {
            std::cout << action << ": not measured\n";
            passed = false;
        }
    std::cout << (passed ? "Every ratio is at most " : "A ratio is above ") << kLimit << "\n";
    return passed ? 0 : 1;
}
