// The desktop host as a user works it: the built dravel-host on a private X server (xvfb-run),
// driven by real X input events (xdotool), and the SQLite file read once it has exited.

#include <gtest/gtest.h>

#include "platform/ado/connection_string.h"
#include "tests/support/module_session.h"
#include "tests/support/process.h"

namespace {

namespace fs = std::filesystem;

// Down to the second criterion, Tab to its description, a new text typed, Ctrl+S, Ctrl+Q, each
// step with a time limit so that xvfb-run always stops its server. Keys go where the X input focus
// is, which the host takes once its window is mapped; a pause after each step lets the views show
// the row before the next key, as a user waits to see it. Plain letters: xdotool types a letter
// missing from the keyboard map by remapping a key first, which the host may see late.
constexpr const char* kSession = R"sh(set -e
timeout 60 "$DRAVEL_HOST" --database "$DATABASE" & host=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Dravel$')
for i in $(seq 200); do [ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ] && break; sleep 0.05; done
[ "$(xdotool getwindowfocus)" = "$window" ] || { echo "the host never took the focus"; exit 1; }
xdotool key Down; sleep 0.3
xdotool key --delay 100 Tab Tab Tab Tab Tab; sleep 0.3
xdotool type --delay 50 "$TYPED"; sleep 0.3
xdotool key ctrl+s; sleep 0.3
xdotool key ctrl+q
wait $host)sh";

TEST(DesktopHost, TheKeyboardChangesOneDescription) {
    // Never skipped: a machine without them is not set up (scripts/bootstrap installs both).
    ASSERT_TRUE(fs::exists("/usr/bin/xvfb-run")) << "Xvfb is not installed (Debian package xvfb)";
    ASSERT_TRUE(fs::exists("/usr/bin/xdotool"))
        << "xdotool is not installed (Debian package xdotool)";
    testing_support::TestFolder folder;
    const fs::path database = folder / "demo.db";
    auto created = testing_support::RunToEnd(
        {DRAVEL_CLI_PATH, "create-db", "--database", database, "--demo"}, folder / "create.out");
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
    const std::string before = rows(others), typed = "Citta, piu conti";

    // This process's environment without what leads elsewhere: another display, the user's files
    // and settings. Under the sanitizers, leaks in the libraries Qt loads are not the host's.
    fs::create_directory(folder / "home");
    fs::create_directory(folder / "runtime");
    fs::permissions(folder / "runtime", fs::perms::owner_all);
    std::string lsan = "suppressions=" DRAVEL_LSAN_SUPPRESSIONS;
    std::vector<std::string> env = {
        "HOME=" + (folder / "home").string(), "XDG_RUNTIME_DIR=" + (folder / "runtime").string(),
        "DRAVEL_HOST=" DRAVEL_HOST_PATH, "DATABASE=" + database.string(), "TYPED=" + typed};
    for (const auto& v : testing_support::CurrentEnvironment()) {
        if (v.starts_with("LSAN_OPTIONS="))
            lsan = v.substr(13) + ":" + lsan;
        else if (!v.starts_with("DISPLAY=") && !v.starts_with("WAYLAND_DISPLAY=") &&
                 !v.starts_with("XAUTHORITY=") && !v.starts_with("HOME=") &&
                 !v.starts_with("XDG_") && !v.starts_with("QT_"))
            env.push_back(v);
    }
    env.push_back("LSAN_OPTIONS=" + lsan);
    testing_support::Process session(
        {"/usr/bin/xvfb-run", "-a", "-s", "-screen 0 1280x900x24", "/bin/sh", "-c", kSession}, env,
        folder / "session.out");
    auto status = session.WaitFor(std::chrono::seconds(120));
    ASSERT_TRUE(status) << "the session did not end:\n" << session.Output();
    EXPECT_EQ(*status, 0) << session.Output();
    EXPECT_EQ(rows("SELECT MGA0_DESCR FROM MGA0_QUINTAB WHERE MGA0_ID = " + second), typed);
    EXPECT_EQ(rows(others), before) << session.Output();
}

}  // namespace
