#pragma once
// What the two reports of `dravel check` cost on the measured company: each run of the built
// program in a process of its own, timed from its start to its end, with its peak memory.

#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct ReportRun {
    std::string label;  // the command line's options after the database
    double seconds;     // of the fastest of three runs
    double megabytes;   // the largest peak resident memory of the three
};

// Runs `dravel` (the programs' folder's) check of company 1 of MatrixDatabase() as text and as
// JSON, its output going to `out`.
std::vector<ReportRun> MeasureReports(const std::filesystem::path& programs,
                                      const std::filesystem::path& out);

}  // namespace bench
