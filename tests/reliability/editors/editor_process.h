#pragma once
// A dravel-editor child process: started on a database with its own registry and log, its
// report read line by line from a pipe, killed or waited for.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
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

    // Standard error goes to `folder`/editor-N.err, to be shown when a check fails.
    EditorProcess(const std::string& connection, int32_t company, int32_t editor, uint32_t seed,
                  int32_t actions, const std::filesystem::path& folder)
        : errors_(folder / ("editor-" + std::to_string(editor) + ".err")) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        const std::vector<std::string> args = {DRAVEL_EDITOR_PATH,      connection,
                                               std::to_string(company), std::to_string(editor),
                                               std::to_string(seed),    std::to_string(actions)};
        const std::string registry = (folder / ("registry-" + std::to_string(editor) + ".json"));
        const std::string log = (folder / ("editor-" + std::to_string(editor) + ".log"));
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[1], 1);
            int err = ::open(errors_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (err >= 0) ::dup2(err, 2);
            ::setenv("DRAVEL_REGISTRY", registry.c_str(), 1);
            ::setenv("DRAVEL_LOG", log.c_str(), 1);
            std::vector<char*> argv;
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        if (pid_ < 0) {
            ::close(fds[0]);
            throw std::runtime_error("fork failed");
        }
        out_ = fds[0];
    }
    ~EditorProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
    }
    EditorProcess(const EditorProcess&) = delete;
    EditorProcess& operator=(const EditorProcess&) = delete;

    int Output() const { return out_; }
    // Reads what the editor wrote so far; false once it closed its output.
    bool ReadAvailable() {
        char buffer[65536];
        ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n > 0) text_.append(buffer, static_cast<size_t>(n));
        return n > 0 || (n < 0 && errno == EINTR);
    }
    // Reads until the editor has opened its window or `deadline` passes.
    bool WaitReady(Clock::time_point deadline) {
        while (text_.find('\n') == std::string::npos && Clock::now() < deadline) {
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && !ReadAvailable()) break;
        }
        return Parse().ready;
    }
    // Keeps reading (the pipe never fills) until `until`.
    void ReadUntil(Clock::time_point until) {
        for (auto now = Clock::now(); now < until; now = Clock::now()) {
            pollfd p{out_, POLLIN, 0};
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now);
            if (::poll(&p, 1, static_cast<int>(left.count()) + 1) > 0 && !ReadAvailable()) return;
        }
    }

    void Kill() { ::kill(pid_, SIGKILL); }
    // Reads the rest of the output and waits for the end: the exit status, or 128 + the signal.
    int Wait() {
        while (ReadAvailable()) {
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // The report so far; a line cut off by the kill is not part of it.
    Report Parse() const {
        Report report;
        size_t start = 0;
        for (size_t end; (end = text_.find('\n', start)) != std::string::npos; start = end + 1) {
            auto line = nlohmann::json::parse(text_.substr(start, end - start));
            if (line.contains("ready")) {
                report.ready = true;
                continue;
            }
            auto record = line.get<ActionRecord>();
            if (record.outcome.empty()) {
                report.inFlight = record;
            } else {
                report.inFlight.reset();
                report.finished.push_back(record);
            }
        }
        return report;
    }

    std::string Errors() const {
        std::ifstream in(errors_);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

  private:
    std::filesystem::path errors_;
    pid_t pid_ = -1;
    int out_ = -1;
    std::string text_;
};

}  // namespace editors
