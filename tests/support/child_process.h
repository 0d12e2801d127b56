#pragma once
// Checks that change what the whole process sees (its user, its limits, its mounts) run in a
// forked child, which reports through its exit status and explains a failure on standard error.

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

namespace testing_support {

// In the child: a check that does not hold ends it with exit status 1.
inline void Require(bool holds, const std::string& what) {
    if (!holds) throw std::runtime_error(what);
}

// Runs `body` in a forked child: 0 when it returns, 1 when it throws, 128 + N when signal N
// ends it.
inline int InChild(const std::function<void()>& body) {
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        int status = 0;
        try {
            body();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "in the child: %s\n", e.what());
            status = 1;
        }
        std::fflush(nullptr);
        ::_exit(status);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs `body` in a forked child with mounts of its own and an empty /tmp, so that it can plant
// files there as another user would. Needs root (the tests run as root, here and in CI).
inline int InChildWithPrivateTmp(const std::function<void()>& body) {
    return InChild([&] {
        Require(::geteuid() == 0, "a private /tmp needs root");
        Require(::unshare(CLONE_NEWNS) == 0 &&
                    ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                    ::mount("tmpfs", "/tmp", "tmpfs", 0, "mode=1777") == 0,
                std::string("cannot mount a private /tmp: ") + std::strerror(errno));
        body();
    });
}

}  // namespace testing_support
