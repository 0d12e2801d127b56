#pragma once
// Checks that change what the whole process sees (its user, its limits, its mounts) run in a
// death test's forked child: EXPECT_IN_CHILD([&] { ... }) passes when the lambda returns; a check
// that does not hold throws, and the test fails with its message.

#include <gmock/gmock.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>

#define EXPECT_IN_CHILD(...)                                                                       \
    EXPECT_EXIT(((__VA_ARGS__)(), std::fflush(nullptr), ::_exit(0)), ::testing::ExitedWithCode(0), \
                "")

namespace testing_support {

inline void Require(bool holds, const std::string& what) {
    if (!holds) throw std::runtime_error(what);
}

// Gives the child mounts of its own and an empty /tmp, so that it can plant files there as
// another user would. Needs root (CI runs the tests as root; a test skips what needs it otherwise).
inline void PrivateTmp() {
    Require(::geteuid() == 0, "a private /tmp needs root");
    Require(::unshare(CLONE_NEWNS) == 0 &&
                ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                ::mount("tmpfs", "/tmp", "tmpfs", 0, "mode=1777") == 0,
            std::string("cannot mount a private /tmp: ") + std::strerror(errno));
}

// Runs `body` in a child with DRAVEL_TRACE set to `setting` (unset when null) and expects it to
// exit 0 having written to standard error what `written` matches. The child is a process started
// afresh (a "threadsafe" death test: the test program runs again up to this check), as the setting
// is read once per process, maybe before this test set it.
inline void ExpectStandardErrorWithTrace(const char* setting,
                                         const ::testing::Matcher<const std::string&>& written,
                                         const std::function<void()>& body) {
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((setting ? ::setenv("DRAVEL_TRACE", setting, 1) : ::unsetenv("DRAVEL_TRACE"),
                 body(), std::fflush(nullptr), ::_exit(0)),
                ::testing::ExitedWithCode(0), written);
    GTEST_FLAG_SET(death_test_style, style);
}

}  // namespace testing_support
