// Who the host says the user is (HostValue1, which a module hands on to the media link) and where
// the user's files go without HOME: both from the user's entry in the user database.

#include <gmock/gmock.h>
#include <pwd.h>
#include <sys/mount.h>
#include <unistd.h>

#include <fstream>

#include "framework/host_context.h"
#include "platform/com/user_files.h"
#include "tests/support/child_process.h"

using testing_support::Require;

// An entry longer than any buffer a lookup starts with (a long comment field) is read whole.
TEST(CurrentUser, ComesFromAnEntryOfAnyLength) {
    if (geteuid() != 0) GTEST_SKIP() << "only root puts a user database of its own in place";
    EXPECT_IN_CHILD([] {
        testing_support::PrivateTmp();
        const passwd* user = getpwuid(geteuid());
        Require(user != nullptr, "the user has no entry in the user database");
        const std::string name = user->pw_name, home = user->pw_dir;
        std::ofstream("/tmp/passwd")
            << name << ":x:" << user->pw_uid << ":" << user->pw_gid << ":"
            << std::string(100000, 'c') << ":" << home << ":" << user->pw_shell << "\n";
        Require(mount("/tmp/passwd", "/etc/passwd", nullptr, MS_BIND, nullptr) == 0,
                "cannot put a user database in place");
        unsetenv("USER");
        unsetenv("HOME");
        Require(framework::CurrentUserName() == name, "user name: " + framework::CurrentUserName());
        Require(com::UserHome() == home, "home: " + com::UserHome().string());
    });
}
