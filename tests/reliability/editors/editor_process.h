#pragma once
// A dravel-editor child process: started on a database with its own registry and log, its report
// (standard output) written to a file beside its errors, killed or waited for.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/reliability/editors/action_record.h"
#include "tests/support/process.h"

namespace editors {

// An editor's report: the actions it finished, and the one it had started when it ended.
struct Report {
    bool ready = false;  // the window opened
    std::vector<ActionRecord> finished;
    std::optional<ActionRecord> inFlight;
};

class EditorProcess {
  public:
    using Clock = std::chrono::steady_clock;

    EditorProcess(const std::string& connection, int32_t company, int32_t editor, uint32_t seed,
                  int32_t actions, const std::filesystem::path& folder)
        : own_((folder / ("editor-" + std::to_string(editor))).string()),
          process_({DRAVEL_EDITOR_PATH, connection, std::to_string(company), std::to_string(editor),
                    std::to_string(seed), std::to_string(actions)},
                   testing_support::CurrentEnvironment(
                       {"DRAVEL_REGISTRY=" + own_ + ".json", "DRAVEL_LOG=" + own_ + ".log"}),
                   own_ + ".out", own_ + ".err") {}

    bool Running() { return !process_.WaitFor(std::chrono::milliseconds(0)); }
    void Kill() { process_.Kill(); }
    // The exit status, or 128 + the signal that ended it.
    int Wait() { return process_.WaitFor(std::chrono::hours(1)).value_or(-1); }
    // Whether the editor opened its window before `deadline`.
    bool WaitReady(Clock::time_point deadline) {
        while (!Parse().ready && Running() && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return Parse().ready;
    }

    // The report so far; a line cut off by the kill is not part of it.
    Report Parse() const {
        Report report;
        std::istringstream lines(process_.Output());
        for (std::string line; std::getline(lines, line) && !lines.eof();) {
            auto json = nlohmann::json::parse(line);
            if (json.contains("ready")) {
                report.ready = true;
            } else if (auto record = json.get<ActionRecord>(); record.outcome.empty()) {
                report.inFlight = record;
            } else {
                report.finished.push_back(record);
                report.inFlight.reset();
            }
        }
        return report;
    }

    std::string Errors() const {
        std::ifstream in(own_ + ".err");
        return {std::istreambuf_iterator<char>(in), {}};
    }

  private:
    std::string own_;  // the path of its files but for their extension
    testing_support::Process process_;
};

}  // namespace editors
