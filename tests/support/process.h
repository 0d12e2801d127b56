#pragma once
// A program the test starts and owns: its output goes to a file, and whatever way the test ends,
// the program is stopped and waited for.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace testing_support {

// This process's environment, as NAME=value entries, with the entries of `set` in place of those
// of the same names.
inline std::vector<std::string> CurrentEnvironment(const std::vector<std::string>& set = {}) {
    std::vector<std::string> env = set;
    for (char** e = environ; *e; ++e) {
        const std::string_view v(*e);
        if (std::none_of(set.begin(), set.end(), [&](const std::string& s) {
                return v.starts_with(s.substr(0, s.find('=') + 1));
            }))
            env.emplace_back(v);
    }
    return env;
}

class Process {
  public:
    // Starts `argv` with exactly the environment `env` (NAME=value entries), standard output going
    // to `output` and standard error there too, or to `errors` when given.
    Process(std::vector<std::string> argv, std::vector<std::string> env,
            std::filesystem::path output, const std::filesystem::path& errors = {})
        : output_(std::move(output)) {
        pid_ = ::fork();
        if (pid_ != 0) return;
        int out = ::open(output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err =
            errors.empty() ? out : ::open(errors.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
        std::vector<char*> args, vars;
        for (auto& a : argv) args.push_back(a.data());
        for (auto& v : env) vars.push_back(v.data());
        args.push_back(nullptr);
        vars.push_back(nullptr);
        ::execve(args[0], args.data(), vars.data());
        ::_exit(127);
    }
    // A program still running is asked to stop, and killed if it has not within five seconds.
    ~Process() {
        if (pid_ <= 0 || status_) return;
        ::kill(pid_, SIGTERM);
        if (!WaitFor(std::chrono::seconds(5))) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t Pid() const { return pid_; }

    void Kill() {
        if (pid_ > 0 && !status_) ::kill(pid_, SIGKILL);
    }

    // The exit status (128 + N when signal N ended it) once the program has ended within
    // `limit`; nothing while it runs on.
    std::optional<int> WaitFor(std::chrono::milliseconds limit) {
        if (pid_ < 0) return 127;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!status_) {
            int status = 0;
            pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_)
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else if (done < 0 || std::chrono::steady_clock::now() >= deadline)
                break;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return status_;
    }

    // What the program has written so far.
    std::string Output() const {
        std::ifstream in(output_);
        return {std::istreambuf_iterator<char>(in), {}};
    }

  private:
    std::filesystem::path output_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Runs `argv` in this process's environment to its end: its exit status (-1 when it ran past
// `limit`) and its output.
inline std::pair<int, std::string> RunToEnd(std::vector<std::string> argv,
                                            const std::filesystem::path& output,
                                            std::chrono::seconds limit = std::chrono::seconds(60)) {
    Process program(std::move(argv), CurrentEnvironment(), output);
    return {program.WaitFor(limit).value_or(-1), program.Output()};
}

}  // namespace testing_support
