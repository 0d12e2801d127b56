#pragma once
// The command-line tool and the desktop host run as a user runs them: the built programs in child
// processes, with a registry, log and data folder of the test's own, in the Italian of a locale
// that asks for no language (so that what they print does not depend on the machine's).

#include <gmock/gmock.h>

#include "tests/support/module_session.h"
#include "tests/support/process.h"

namespace testing_support {

// A database named as the programs take it: a file, or a connection string.
inline com::ComPtr<ado::Connection> OpenDatabase(const std::string& database) {
    auto c = ado::Connection::Create();
    c->Open(ado::IsConnectionString(database) ? database : ado::SqliteConnectionString(database));
    return c;
}

// What a program printed: one line.
inline auto OneLine() {
    return ::testing::MatchesRegex("[^\n]*\n");
}

class DravelCli : public ::testing::Test {
  protected:
    // The tool run to its end with `args`: its exit status and its output.
    std::pair<int, std::string> Dravel(std::vector<std::string> args) {
        args.insert(args.begin(), DRAVEL_CLI_PATH);
        return RunToEnd(std::move(args), folder_ / "output");
    }
    // The desktop host, where no display can be reached: it shows its window as text.
    std::pair<int, std::string> Host(std::vector<std::string> args) {
        args.insert(args.begin(), DRAVEL_HOST_PATH);
        return RunToEnd(std::move(args), folder_ / "output");
    }

    TestFolder folder_;
    ScopedEnv data_{"XDG_DATA_HOME", (folder_ / "data").c_str()};
    ScopedEnv locale_{"LC_ALL", "C.UTF-8"}, languages_{"LANGUAGE", nullptr},
        database_{"DRAVEL_DATABASE", nullptr}, display_{"DISPLAY", nullptr},
        wayland_{"WAYLAND_DISPLAY", nullptr};
};

class DravelCliOnEachBackend : public DravelCli, public ::testing::WithParamInterface<Backend> {
  protected:
    // A database not made yet: a file in the test's folder, or a new empty PostgreSQL database.
    std::string NewDatabase(const std::string& name) {
        if (GetParam() == Backend::Postgresql)
            return PostgresServer::Shared().CreateDatabase("cli_" + name);
        std::filesystem::remove(folder_ / (name + ".db"));
        return (folder_ / (name + ".db")).string();
    }
};

}  // namespace testing_support
