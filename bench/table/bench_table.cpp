// dravel-bench-table: runs the benchmark programs one after the other, each in a process of its
// own writing its results as JSON, and prints one table of every action beside its baseline,
// how the times grow, the memory the open window holds per criterion, and what the reports of
// `dravel check` cost.
//
//   dravel-bench-table <folder of the programs> <folder for their results and output>
//   dravel-bench-table --memory     (only the memory, in a few seconds)

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>

#include <fmt/format.h>
#include <string>
#include <vector>

#include "bench/criteria_database.h"
#include "bench/ratio_table.h"
#include "bench/table/report_runs.h"
#include "bench/table/window_memory.h"

extern char** environ;

namespace {

constexpr const char* kPrograms[] = {"dravel-bench", "dravel-bench-gui", "dravel-bench-server"};
constexpr int kGrowthFrom = 10000, kGrowthTo = 99999;

// Runs `program` with `args`, its output going to the file `log`; its exit status, or -1 when it
// did not end normally.
int Run(const std::filesystem::path& program, const std::vector<std::string>& args,
        const std::filesystem::path& log) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Adds the runs of a results file to `times`; the runs that failed go to `failures`.
void Read(const std::filesystem::path& results, bench::Times& times,
          std::vector<std::string>& failures) {
    std::ifstream in(results);
    auto json = nlohmann::json::parse(in);
    for (const auto& run : json.at("benchmarks")) {
        const std::string name = run.at("name");
        if (run.value("error_occurred", false)) {
            failures.push_back(name + ": " + run.value("error_message", std::string()));
            continue;
        }
        if (run.value("run_type", "") == "aggregate") continue;
        const std::string unit = run.value("time_unit", "ns");
        const double perMs = unit == "s" ? 1e-3 : unit == "ms" ? 1 : unit == "us" ? 1e3 : 1e6;
        bench::Record(times, name, run.at("real_time").get<double>() / perMs);
    }
}

void PrintMemory(const bench::WindowMemory& memory) {
    std::cout << fmt::format(
        "Memory of the open window with {} criteria: {:.0f} bytes per criterion, of which {:.0f} "
        "bytes of texts as stored: {:.0f} bytes besides the texts.\n",
        kGrowthTo, memory.bytesPerCriterion, memory.textBytesPerCriterion,
        memory.bytesPerCriterion - memory.textBytesPerCriterion);
}

}  // namespace

int main(int argc, char** argv) {
    const bool memoryOnly = argc == 2 && std::string(argv[1]) == "--memory";
    if (argc != 3 && !memoryOnly) {
        std::cerr << "Usage: dravel-bench-table <folder of the programs> <folder for results>\n"
                     "       dravel-bench-table --memory\n";
        return 2;
    }
    int status = 0;
    try {
        if (memoryOnly) {
            PrintMemory(bench::MeasureWindowMemory(kGrowthTo));
            return 0;
        }
        const std::filesystem::path programs = argv[1], out = argv[2];
        std::filesystem::create_directories(out);
        std::cout << "Measuring the memory of the window with " << kGrowthTo << " criteria"
                  << std::endl;
        const auto memory = bench::MeasureWindowMemory(kGrowthTo);

        bench::Times times;
        std::vector<std::string> failures;
        for (const char* name : kPrograms) {
            const auto results = out / (std::string(name) + ".json");
            const auto log = out / (std::string(name) + ".log");
            std::cout << "Running " << name << " (output in " << log.string() << ")" << std::endl;
            std::filesystem::remove(results);
            // Three runs of each, the product's and the baseline's interleaved so that what else
            // the machine does weighs on both sides alike; each side's fastest run counts.
            int rc =
                Run(programs / name,
                    {"--benchmark_out=" + results.string(), "--benchmark_out_format=json",
                     "--benchmark_repetitions=3", "--benchmark_enable_random_interleaving=true",
                     "--benchmark_display_aggregates_only=true"},
                    log);
            if (rc != 0)
                failures.push_back(std::string(name) + " ended with " + std::to_string(rc) +
                                   ", see " + log.string());
            if (std::filesystem::exists(results)) Read(results, times, failures);
        }

        std::cout << "\n";
        bench::PrintTable(std::cout, bench::Ratios(times), kGrowthFrom, kGrowthTo);
        std::cout << "\n";
        PrintMemory(memory);
        std::cout << "\nMeasuring the reports of dravel check" << std::endl;
        std::cout << fmt::format(
            "Reports of `dravel check` on SQLite, {} criteria and {} matrix rows (fastest of "
            "three runs, largest peak memory):\n",
            bench::kMatrixCriteria, bench::kMatrixCriteria * bench::kMatrixRowsPerCriterion);
        for (const auto& run : bench::MeasureReports(programs, out))
            std::cout << fmt::format("  {:<8} {:>6.2f} s {:>6.0f} MB\n", run.label, run.seconds,
                                     run.megabytes);
        for (const auto& failure : failures) std::cout << "FAILED " << failure << "\n";
        if (!failures.empty()) status = 1;
    } catch (const std::exception& e) {
        std::cerr << "dravel-bench-table: " << e.what() << "\n";
        return 1;
    }
    return status;
}
