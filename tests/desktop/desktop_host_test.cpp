// The desktop host as a user works it with the keyboard, and the SQLite file read once it has
// exited.

#include "tests/desktop/desktop_host.h"
#include "platform/ado/connection_string.h"

namespace test {
namespace {

// Down to the second criterion, Tab to its description, a new text typed, Ctrl+S, Ctrl+Q, each
// step with a time limit so that the script always ends. A pause after each step lets the views
// show the row before the next key, as a user waits to see it. Plain letters: xdotool types a
// letter missing from the keyboard map by remapping a key first, which the host may see late.
constexpr const char* kSession = R"sh(
timeout 60 "$DRAVEL_HOST" --database "$DATABASE" & host=$!
window '^Dravel$'
xdotool key Down; sleep 0.3
xdotool key --delay 100 Tab Tab Tab Tab Tab; sleep 0.3
xdotool type --delay 50 "$TYPED"; sleep 0.3
xdotool key ctrl+s; sleep 0.3
xdotool key ctrl+q
wait $host)sh";

TEST_F(DesktopHost, TheKeyboardChangesOneDescription) {
    const fs::path database = folder_ / "demo.db";
    auto created = testing_support::RunToEnd(
        {DRAVEL_CLI_PATH, "create-db", "--database", database, "--demo"}, folder_ / "create.out");
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

    auto [status, output] = Run(std::string(kWaitForWindow) + kSession,
                                {"DATABASE=" + database.string(), "TYPED=" + typed});
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(rows("SELECT MGA0_DESCR FROM MGA0_QUINTAB WHERE MGA0_ID = " + second), typed);
    EXPECT_EQ(rows(others), before) << output;
}

// The modal window runs its own event loop inside the host's: Ctrl+Q over it ends the program.
TEST_F(DesktopHost, CtrlQQuitsFromTheModalWindow) {
    auto [status, output] = Run(std::string(kWaitForWindow) + R"sh(
timeout 60 "$DRAVEL_HOST" --modal & host=$!
window '^Gestione determinazione contropartite$'
xdotool key ctrl+q
wait $host)sh");
    EXPECT_EQ(status, 0) << output;
}

}  // namespace
}  // namespace test
