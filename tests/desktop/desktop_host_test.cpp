// The desktop host as a user works it: the built dravel-host on a private X server (Xvfb),
// driven by real X input events (xdotool), and the SQLite file read once it has exited.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/ado/connection_string.h"
#include "tests/support/module_session.h"
#include "tests/support/process.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Process;
using namespace std::chrono_literals;

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

// A private X server (Xvfb) on a display number it picks itself, stopped with the object.
class XServer {
  public:
    XServer(const std::string& xvfb, const std::vector<std::string>& env, const fs::path& log)
        : xvfb_({xvfb, "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1280x900x24"}, env,
                log) {
        // Once it accepts clients, Xvfb writes the number of its display on a line of its own.
        for (auto deadline = std::chrono::steady_clock::now() + 20s; display_.empty();) {
            std::istringstream lines(xvfb_.Output());
            for (std::string line; std::getline(lines, line) && !lines.eof();)
                if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
                    display_ = ":" + line;
            if (display_.empty() &&
                (xvfb_.WaitFor(20ms) || std::chrono::steady_clock::now() > deadline))
                throw std::runtime_error("Xvfb did not start:\n" + xvfb_.Output());
        }
    }
    // The value of DISPLAY for the server's clients.
    const std::string& Display() const { return display_; }

  private:
    Process xvfb_;
    std::string display_;
};

class DesktopHost : public ::testing::Test {
  protected:
    void SetUp() override {
        // Never skipped: a machine without them is not set up (scripts/bootstrap installs both).
        ASSERT_FALSE(xvfb_.empty()) << "Xvfb is not installed (Debian package xvfb)";
        ASSERT_FALSE(xdotool_.empty()) << "xdotool is not installed (Debian package xdotool)";
        fs::create_directory(folder_ / "home");
        fs::create_directory(folder_ / "runtime");
        ::chmod((folder_ / "runtime").c_str(), 0700);
        x_.emplace(xvfb_, Environment(), folder_ / "xvfb.log");
    }

    // This process's environment (with the test's registry and log) without what leads elsewhere:
    // another display, the user's files and settings.
    std::vector<std::string> Environment() const {
        std::vector<std::string> env = {"HOME=" + (folder_ / "home").string(),
                                        "XDG_RUNTIME_DIR=" + (folder_ / "runtime").string()};
        if (x_) env.push_back("DISPLAY=" + x_->Display());
        // Under the sanitizers, leaks in the libraries Qt loads are not the host's.
        std::string lsan = "LSAN_OPTIONS=suppressions=" DRAVEL_LSAN_SUPPRESSIONS;
        for (const auto& v : testing_support::CurrentEnvironment()) {
            bool dropped = false;
            for (const char* prefix :
                 {"DISPLAY=", "WAYLAND_DISPLAY=", "XAUTHORITY=", "HOME=", "XDG_", "QT_"})
                dropped = dropped || v.starts_with(prefix);
            if (v.starts_with("LSAN_OPTIONS="))
                lsan = v + ":" + lsan.substr(lsan.find('=') + 1);
            else if (!dropped)
                env.push_back(v);
        }
        env.push_back(lsan);
        return env;
    }

    // Runs a program to its end (at most 30 seconds): its exit status and its output.
    std::pair<int, std::string> Run(std::vector<std::string> argv) {
        Process p(std::move(argv), Environment(), folder_ / "run.out");
        return {p.WaitFor(30s).value_or(-1), p.Output()};
    }
    std::string Xdotool(std::vector<std::string> args) {
        args.insert(args.begin(), xdotool_);
        auto [status, output] = Run(args);
        EXPECT_EQ(status, 0) << "xdotool " << args[1] << ": " << output;
        return output;
    }

    testing_support::TestFolder folder_;
    std::string xvfb_ = OnPath("Xvfb"), xdotool_ = OnPath("xdotool");
    std::optional<XServer> x_;
};

// Down to the second criterion, Tab to its description, a new text typed, Ctrl+S, Ctrl+Q: the
// description of that criterion is stored, and nothing else of the table changes.
TEST_F(DesktopHost, TheKeyboardChangesOneDescription) {
    const fs::path database = folder_ / "demo.db";
    auto created = Run({DRAVEL_CLI_PATH, "create-db", "--database", database, "--demo"});
    ASSERT_EQ(created.first, 0) << created.second;
    auto rows = [&](const std::string& sql) {
        auto c = ado::Connection::Create();
        c->Open(ado::SqliteConnectionString(database));
        return testing_support::Rows(*c, sql);
    };
    // The host opens the first company; its grid lists the criteria by type and priority.
    const std::string second = rows(
        "SELECT MGA0_ID FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = 1 "
        "ORDER BY MGA0_FLGRESO, MGA0_INDPRIOR LIMIT 1 OFFSET 1");
    const std::string others = "SELECT * FROM MGA0_QUINTAB WHERE MGA0_ID <> " + second;
    const std::string before = rows(others);
    // Plain letters: xdotool types a letter missing from the keyboard map by remapping a key
    // first, which the host may see late (accented typing is the widget tests' part).
    const std::string typed = "Citta, piu conti";

    Process host({DRAVEL_HOST_PATH, "--database", database}, Environment(), folder_ / "host.out");
    const std::string window = Xdotool({"search", "--sync", "--onlyvisible", "--name", "^Dravel$"});
    ASSERT_FALSE(window.empty()) << host.Output();
    // Keys go where the X input focus is: the host takes it once its window is mapped. Until
    // then the X server answers with no window at all, which xdotool calls a failure.
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
    EXPECT_EQ(rows("SELECT MGA0_DESCR FROM MGA0_QUINTAB WHERE MGA0_ID = " + second), typed);
    EXPECT_EQ(rows(others), before) << host.Output();
}

}  // namespace
