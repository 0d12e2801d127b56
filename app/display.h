#pragma once
// Whether this session can show desktop windows, and how to see them from elsewhere when not.

#include <string>

namespace app {

// The Qt platform the desktop host starts on, tried here the way Qt would try it: Qt's platform
// plugin aborts the program when it cannot connect, so a display that cannot be used must be
// found before Qt is asked to use it.
struct Display {
    // What QT_QPA_PLATFORM must hold for Qt to start on the usable entries only ("xcb",
    // "wayland;xcb", "offscreen"), options after ':' kept; empty when none can be used.
    std::string platform;
    // Otherwise the one line that says why no display can be used.
    std::string unavailable;
};

// From QT_QPA_PLATFORM (a list "a;b", each entry "name[:options]", names in any case) or, when it
// is unset, the Wayland compositor at $WAYLAND_DISPLAY and the X server at $DISPLAY. An X server
// must accept the connection (XAUTHORITY's cookie included), a Wayland compositor must answer;
// Qt's other local platforms (offscreen, for tests and benchmarks) are taken as they are. A list
// that names a platform serving the window over the network (Qt's VNC server, which lets anyone
// in without a password) is refused whole, in every spelling.
Display FindDisplay();

// How a remote user sees the desktop window: X forwarding, or a VNC server bound to localhost.
std::string RemoteDisplayHint();

}  // namespace app
