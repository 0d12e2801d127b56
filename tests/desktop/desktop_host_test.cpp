// The desktop host worked with the keyboard on a real X server (the keys' effects on the window
// are the widget tests').

#include "tests/desktop/desktop_host.h"
#include "tests/support/rows.h"

namespace test {
namespace {

// The modal window runs its own event loop inside the host's: Ctrl+Q over it ends the program.
// Keys reach the matrix window's fields as its shortcuts open it.
TEST_F(DesktopHost, RealKeysQuitFromTheModalWindowAndEnterAMatrixRow) {
    auto [status, output] = Run(std::string(kWaitForWindow) + R"sh(
timeout 60 "$DRAVEL_HOST" --modal & host=$!
window '^Gestione determinazione contropartite$'
xdotool key ctrl+q
wait $host || exit
timeout 60 "$DRAVEL_HOST" & host=$!
window '^Dravel'
xdotool key ctrl+shift+c ctrl+n
xdotool type C00777; xdotool key Tab; xdotool type VITI-M8; xdotool key Tab; xdotool type 40.01.777
xdotool key ctrl+s ctrl+q
wait $host)sh");
    EXPECT_EQ(status, 0) << output;
    auto db = ado::Connection::Create();
    db->Open(ado::SqliteConnectionString(folder_ / "home/.local/share/dravel/demo.db"));
    EXPECT_EQ(testing_support::Rows(
                  *db, "SELECT MGA1_CONTO FROM MGA1_MATRCPAR WHERE MGA1_VALORE01 = 'C00777'"),
              "40.01.777");
}

}  // namespace
}  // namespace test
