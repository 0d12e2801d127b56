// The desktop host worked with the keyboard on a real X server (the keys' effects on the window
// are the widget tests').

#include "tests/desktop/desktop_host.h"

namespace test {
namespace {

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
