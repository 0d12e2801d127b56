#include "bench/table/report_runs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "bench/criteria_database.h"

extern char** environ;

namespace bench {

namespace {

// One run of `argv`, its output going to `output`: its time and peak memory. A run that fails
// throws: the figure would be that of a failure.
std::pair<double, double> RunOnce(std::vector<std::string> argv,
                                  const std::filesystem::path& output) {
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + argv[0]);
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid)
        throw std::runtime_error("lost " + argv[0] + " while waiting for it");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    // check exits 1 when it finds something, as it does here.
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        throw std::runtime_error(argv[0] + " check failed (status " + std::to_string(status) + ")");
    return {took.count(), static_cast<double>(usage.ru_maxrss) / 1024};  // ru_maxrss is in KiB
}

}  // namespace

std::vector<ReportRun> MeasureReports(const std::filesystem::path& programs,
                                      const std::filesystem::path& out) {
    // The log and the registry of the run's own, as the benchmark programs keep them.
    ::setenv("DRAVEL_REGISTRY", (TemporaryFolder() / "registry.json").c_str(), 1);
    ::setenv("DRAVEL_LOG", (TemporaryFolder() / "dravel.log").c_str(), 1);
    const std::string database = MatrixDatabase();
    std::vector<ReportRun> runs;
    for (const char* json : {"", "--json"}) {
        std::vector<std::string> argv{
            (programs / "dravel").string(), "check", "--company", "1", "--database", database};
        if (*json) argv.push_back(json);
        ReportRun run{*json ? json : "(text)", std::numeric_limits<double>::max(), 0};
        for (int i = 0; i < 3; ++i) {
            auto [seconds, megabytes] = RunOnce(argv, out / (*json ? "check.json" : "check.txt"));
            run.seconds = std::min(run.seconds, seconds);
            run.megabytes = std::max(run.megabytes, megabytes);
        }
        runs.push_back(run);
    }
    return runs;
}

}  // namespace bench
