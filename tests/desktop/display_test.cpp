// Where no display can be used, the desktop host says why in its first line, shows the window as
// text instead of aborting in Qt's platform plugin, and points to the safe ways of seeing it
// remotely; it never starts Qt's VNC server, which would let anyone on the network in, however
// QT_QPA_PLATFORM spells it.

#include <gmock/gmock.h>

#include "tests/desktop/desktop_host.h"

namespace test {
namespace {

struct DisplayCase {
    std::vector<std::string> set;  // on the test's X server, whose cookie XAUTHORITY holds
    std::string why;               // in the first line
};

TEST_F(DesktopHost, ADisplayThatCannotBeUsedGivesTheWindowAsText) {
    const std::string vnc = "QT_QPA_PLATFORM asks for Qt's VNC server";
    const DisplayCase cases[] = {
        {{"DISPLAY=:9999"}, "the X server at DISPLAY=:9999 does not answer"},
        {{"XAUTHORITY=/nonexistent"},
         "the X server at DISPLAY=" + x_.Display() + " refuses this program"},
        {{"DISPLAY=", "WAYLAND_DISPLAY=wayland-gone"},
         "the Wayland compositor at WAYLAND_DISPLAY=wayland-gone does not answer"},
        {{"DISPLAY=", "QT_QPA_PLATFORM=wayland;xcb"},
         "the Wayland compositor at WAYLAND_DISPLAY=wayland-0 does not answer; DISPLAY is not "
         "set"},
        {{"QT_QPA_PLATFORM=vnc"}, vnc},
        {{"QT_QPA_PLATFORM=vnc:size=640x480"}, vnc},
        {{"QT_QPA_PLATFORM=xcb;vnc"}, vnc},
        {{"QT_QPA_PLATFORM= vNc ;xcb"}, vnc},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.set));
        auto [status, output] = Run("exec \"$DRAVEL_HOST\"", c.set, std::chrono::seconds(30));
        ASSERT_EQ(status, 0) << output;
        EXPECT_THAT(
            output.substr(0, output.find('\n')),
            ::testing::AllOf(::testing::StartsWith("dravel-host: "), ::testing::HasSubstr(c.why)));
        EXPECT_THAT(output, ::testing::HasSubstr("== Gestione determinazione contropartite =="));
        EXPECT_THAT(output, ::testing::HasSubstr("ssh -X"));
    }
}

}  // namespace
}  // namespace test
