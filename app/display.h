#pragma once
// Whether this session can show desktop windows, and how to see them from elsewhere when not.

#include <string>

namespace app {

// Empty when a display can be reached: a Wayland compositor's socket, or an X server at
// $DISPLAY, or a Qt platform named in QT_QPA_PLATFORM (offscreen, for tests and benchmarks).
// Otherwise the one line that says why not. Qt's VNC platform is refused: it listens on every
// address without a password.
std::string DisplayUnavailable();

// How a remote user sees the desktop window: X forwarding, or a VNC server bound to localhost.
std::string RemoteDisplayHint();

}  // namespace app
