#pragma once
// The console reporter of a benchmark program that times the product beside a baseline: the
// results as usual, then for every pair and number of criteria the ratio of the two times.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    // A benchmark and the one it is measured against, by function name; `label` names the ratio.
    struct Pair {
        std::string timed, baseline, label;
    };
    explicit RatioReporter(std::vector<Pair> pairs) : pairs_(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

  private:
    std::vector<Pair> pairs_;
    // Time per function name and arguments.
    std::map<std::string, std::map<std::string, double>> times_;
};

// Runs the benchmarks the command line selects with that reporter; main's return value.
int RunWithRatios(int argc, char** argv, std::vector<RatioReporter::Pair> pairs);

}  // namespace bench
