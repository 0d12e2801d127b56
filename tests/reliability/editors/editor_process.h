#pragma once
// A dravel-editor child process: started on a database with its own registry and log, its report
// (standard output) written to a file beside its errors, killed or waited for.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
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
        : errors_(Own(folder, "editor-", editor, ".err")),
          process_({DRAVEL_EDITOR_PATH, connection, std::to_string(company), std::to_string(editor),
                    std::to_string(seed), std::to_string(actions)},
                   testing_support::CurrentEnvironment(
                       {"DRAVEL_REGISTRY=" + Own(folder, "registry-", editor, ".json"),
                        "DRAVEL_LOG=" + Own(folder, "editor-", editor, ".log")}),
                   Own(folder, "editor-", editor, ".out"), errors_) {}

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

    // The report so far; a line cut off by the kill is not part of it. Each action is written
    // when it starts (without outcome) and again when it is over.
    Report Parse() const {
        Report report;
        const std::string text = process_.Output();
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
            auto line = nlohmann::json::parse(text.substr(start, end - start));
            if (line.contains("ready")) {
                report.ready = true;
                continue;
            }
            auto record = line.get<ActionRecord>();
            report.inFlight.reset();
            if (record.outcome.empty())
                report.inFlight = record;
            else
                report.finished.push_back(record);
        }
        return report;
    }

    std::string Errors() const {
        std::ifstream in(errors_);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

  private:
    static std::string Own(const std::filesystem::path& folder, const char* name, int32_t editor,
                           const char* extension) {
        return folder / (name + std::to_string(editor) + extension);
    }

    std::filesystem::path errors_;
    testing_support::Process process_;
};

}  // namespace editors
