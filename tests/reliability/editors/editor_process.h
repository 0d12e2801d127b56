#pragma once
// A dravel-editor child process: started on a database with its own registry and log, its report
// (standard output) written to a file beside its errors, killed or waited for.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/reliability/editors/action_record.h"

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
                  int32_t actions, const std::filesystem::path& folder) {
        const std::string n = std::to_string(editor);
        out_ = folder / ("editor-" + n + ".out");
        errors_ = folder / ("editor-" + n + ".err");
        const std::vector<std::string> args = {DRAVEL_EDITOR_PATH,      connection,
                                               std::to_string(company), n,
                                               std::to_string(seed),    std::to_string(actions)};
        const std::string registry = folder / ("registry-" + n + ".json");
        const std::string log = folder / ("editor-" + n + ".log");
        pid_ = ::fork();
        if (pid_ == 0) {
            int out = ::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int err = ::open(errors_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
            ::setenv("DRAVEL_REGISTRY", registry.c_str(), 1);
            ::setenv("DRAVEL_LOG", log.c_str(), 1);
            std::vector<char*> argv;
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        if (pid_ < 0) throw std::runtime_error("fork failed");
    }
    ~EditorProcess() {
        Kill();
        Wait();
    }
    EditorProcess(const EditorProcess&) = delete;
    EditorProcess& operator=(const EditorProcess&) = delete;

    bool Running() {
        if (pid_ > 0 && ::waitpid(pid_, &status_, WNOHANG) == pid_) pid_ = -1;
        return pid_ > 0;
    }
    void Kill() {
        if (pid_ > 0) ::kill(pid_, SIGKILL);
    }
    // The exit status, or 128 + the signal that ended it.
    int Wait() {
        if (pid_ > 0 && ::waitpid(pid_, &status_, 0) == pid_) pid_ = -1;
        return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
    }
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
        std::ifstream in(out_);
        std::string text((std::istreambuf_iterator<char>(in)), {});
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
    std::filesystem::path out_, errors_;
    pid_t pid_ = -1;
    int status_ = 0;
};

}  // namespace editors
