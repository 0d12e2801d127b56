// The desktop host as a user works it: the built dravel-host on a private X server (Xvfb),
// driven by real X input events (xdotool), and the SQLite file read once it has exited.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include "tests/desktop/x_server.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using desktop_test::Process;
using namespace std::chrono_literals;

using Table = std::vector<std::vector<std::string>>;

// The views refresh once the event that changed a model is over; a pause after each step lets
// them show the row before the next key acts on it, as a user waits to see it.
constexpr auto kUserPace = 300ms;

std::string OnPath(const std::string& program) {
    std::stringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(path, folder, ':');)
        if (!folder.empty() && ::access((fs::path(folder) / program).c_str(), X_OK) == 0)
            return fs::path(folder) / program;
    return {};
}

// The rows `sql` returns, each value as text (NULL for null).
Table Query(const fs::path& database, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_stmt* statement = nullptr;
    Table rows;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            auto& row = rows.emplace_back();
            for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                auto* text = sqlite3_column_text(statement, i);
                row.push_back(text ? reinterpret_cast<const char*>(text) : "NULL");
            }
        }
    }
    std::string error = sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    if (rows.empty()) throw std::runtime_error("no rows from " + sql + ": " + error);
    return rows;
}

class DesktopHost : public ::testing::Test {
  protected:
    void SetUp() override {
        xvfb_ = OnPath("Xvfb");
        xdotool_ = OnPath("xdotool");
        // Never skipped: a machine without them is not set up (scripts/bootstrap installs both).
        ASSERT_FALSE(xvfb_.empty()) << "Xvfb is not installed (Debian package xvfb)";
        ASSERT_FALSE(xdotool_.empty()) << "xdotool is not installed (Debian package xdotool)";
        fs::create_directory(dir_ / "home");
        fs::create_directory(dir_ / "runtime");
        ::chmod((dir_ / "runtime").c_str(), 0700);
        x_.emplace(xvfb_, Environment(), dir_ / "xvfb.log");
    }

    // This process's environment without what leads elsewhere (another display, the user's
    // files and settings), with a home, registry and log of the test's own.
    std::vector<std::string> Environment() const {
        std::vector<std::string> env = {
            "HOME=" + (dir_ / "home").string(),
            "XDG_RUNTIME_DIR=" + (dir_ / "runtime").string(),
            "DRAVEL_REGISTRY=" + (dir_ / "registry.json").string(),
            "DRAVEL_LOG=" + (dir_ / "dravel.log").string(),
        };
        if (x_) env.push_back("DISPLAY=" + x_->Display());
        // Under the sanitizers, leaks in the libraries Qt loads are not the host's.
        std::string lsan = "LSAN_OPTIONS=suppressions=" DRAVEL_LSAN_SUPPRESSIONS;
        for (char** e = environ; *e; ++e) {
            const std::string v = *e;
            bool dropped = false;
            for (const char* prefix :
                 {"DISPLAY=", "WAYLAND_DISPLAY=", "XAUTHORITY=", "HOME=", "XDG_", "QT_", "DRAVEL_"})
                dropped = dropped || v.rfind(prefix, 0) == 0;
            if (v.rfind("LSAN_OPTIONS=", 0) == 0)
                lsan = v + ":" + lsan.substr(lsan.find('=') + 1);
            else if (!dropped)
                env.push_back(v);
        }
        env.push_back(lsan);
        return env;
    }

    // Runs a program to its end (at most `limit`); its exit status, output after a newline.
    std::pair<int, std::string> Run(std::vector<std::string> argv,
                                    std::chrono::milliseconds limit = 30s) {
        Process p(std::move(argv), Environment(), dir_ / "run.out");
        auto status = p.WaitFor(limit);
        return {status.value_or(-1), p.Output()};
    }

    // Runs xdotool with `args`; fails the test when it does not succeed.
    std::string Xdotool(std::vector<std::string> args) {
        args.insert(args.begin(), xdotool_);
        auto [status, output] = Run(args);
        EXPECT_EQ(status, 0) << "xdotool " << args[1] << ": " << output;
        return output;
    }

    testing_support::TempDir dir_{"dravel-desktop"};
    std::string xvfb_, xdotool_;
    std::optional<desktop_test::XServer> x_;
};

// Down to the second criterion, Tab to its description, a new text typed, Ctrl+S, Ctrl+Q: the
// description of that criterion is stored, and nothing else of the table changes.
TEST_F(DesktopHost, TheKeyboardChangesOneDescription) {
    const fs::path database = dir_ / "demo.db";
    auto created = Run({DRAVEL_CLI_PATH, "create-db", "--database", database, "--demo"});
    ASSERT_EQ(created.first, 0) << created.second;
    const std::string all = "SELECT * FROM MGA0_QUINTAB ORDER BY MGA0_ID";
    const Table before = Query(database, all);
    // The host opens the first company; its grid lists the criteria by type and priority.
    const std::string second =
        Query(database,
              "SELECT MGA0_ID FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = 1"
              " ORDER BY MGA0_FLGRESO, MGA0_INDPRIOR LIMIT 1 OFFSET 1")[0][0];
    const int description = 4;  // MGA0_DESCR in the schema's column order
    // Plain letters: xdotool types a letter missing from the keyboard map by remapping a key
    // first, which the host may see late (accented typing is the widget tests' part).
    const std::string typed = "Citta, piu conti";

    Process host({DRAVEL_HOST_PATH, "--database", database}, Environment(), dir_ / "host.out");
    const std::string window = Xdotool({"search", "--sync", "--onlyvisible", "--name", "^Dravel$"});
    ASSERT_FALSE(window.empty()) << host.Output();
    // Keys go where the X input focus is: the host takes it once its window is mapped.
    // Until then the X server answers with no window at all, which xdotool calls a failure.
    for (auto deadline = std::chrono::steady_clock::now() + 10s;
         Run({xdotool_, "getwindowfocus"}).second != window;) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the host never took the focus";
        std::this_thread::sleep_for(50ms);
    }
    for (std::vector<std::string> step : {
             std::vector<std::string>{"key", "Down"},  // the grid has the focus
             {"key", "--delay", "100", "Tab", "Tab", "Tab", "Tab", "Tab"},
             {"type", "--delay", "50", typed},  // Tab selected the old text: typing replaces it
             {"key", "ctrl+s"},
             {"key", "ctrl+q"},
         }) {
        Xdotool(step);
        std::this_thread::sleep_for(kUserPace);
    }
    auto status = host.WaitFor(30s);
    ASSERT_TRUE(status) << "dravel-host is still running after Ctrl+Q:\n" << host.Output();
    EXPECT_EQ(*status, 0) << host.Output();

    Table expected = before;
    for (auto& row : expected)
        if (row[0] == second) row[description] = typed;
    EXPECT_EQ(Query(database, all), expected) << host.Output();
}

}  // namespace
