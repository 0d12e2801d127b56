// dravel-bench-gui: the benchmarks of the Qt window, drawn offscreen, and for each size the
// ratio of the Qt open to the headless one.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <map>

namespace {

// Prints the results as the console reporter does, then the ratios: of the times measured, or
// of the medians when the benchmarks were repeated (the median comes after the repetitions).
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.error_occurred) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            times_[run.run_name.function_name][run.run_name.args] = run.GetAdjustedRealTime();
        }
    }
    void Finalize() override {
        const auto& headless = times_["OpenWindowHeadless"];
        for (const auto& [criteria, qt] : times_["OpenWindowQt"]) {
            auto h = headless.find(criteria);
            if (h == headless.end() || h->second <= 0) continue;
            GetOutputStream() << "Qt open / headless open with " << criteria << " criteria: " << qt
                              << " ms / " << h->second << " ms = " << qt / h->second << "\n";
        }
        ConsoleReporter::Finalize();
    }

  private:
    std::map<std::string, std::map<std::string, double>> times_;
};

}  // namespace

int main(int argc, char** argv) {
    // Set before the application exists: the windows are drawn into memory, with no display.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
