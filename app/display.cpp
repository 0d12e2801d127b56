#include "app/display.h"

#include <fcntl.h>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/com/user_files.h"
#include "platform/text/text.h"

namespace app {

namespace {

bool ConnectUnix(const std::string& path, bool abstract) {
    com::Descriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd) return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    size_t offset = abstract ? 1 : 0;  // an abstract name starts with a zero byte
    if (path.size() + offset >= sizeof(addr.sun_path)) return false;
    std::memcpy(addr.sun_path + offset, path.data(), path.size());
    auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    return ::connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), length) == 0;
}

bool ConnectTcp(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return false;
    bool ok = false;
    for (addrinfo* a = found; a && !ok; a = a->ai_next) {
        com::Descriptor fd(::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol));
        ok = fd && ::connect(fd.Get(), a->ai_addr, a->ai_addrlen) == 0;
    }
    ::freeaddrinfo(found);
    return ok;
}

// DISPLAY is [host]:number[.screen]; no host (or "unix") is the local socket.
bool XServerAnswers(const std::string& display) {
    auto colon = display.rfind(':');
    if (colon == std::string::npos) return false;
    std::string host = display.substr(0, colon);
    int number = std::atoi(display.c_str() + colon + 1);
    if (host.empty() || host == "unix") {
        std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        return ConnectUnix(socket, true) || ConnectUnix(socket, false);
    }
    return ConnectTcp(host, 6000 + number);
}

// What the code run by `f` writes on standard error, taken from there (a pipe holds it: a line).
template <class F>
std::string StandardErrorOf(F&& f) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        f();
        return {};
    }
    com::Descriptor readEnd(ends[0]);
    {
        com::Descriptor writeEnd(ends[1]);
        com::Descriptor saved(::dup(STDERR_FILENO));
        ::dup2(writeEnd.Get(), STDERR_FILENO);
        f();
        ::dup2(saved.Get(), STDERR_FILENO);
    }
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(readEnd.Get(), buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    return text;
}

// Empty when the X server at $DISPLAY accepts this program as Qt's xcb platform will connect:
// through libxcb, with the cookie XAUTHORITY (or ~/.Xauthority) holds for it. A server that
// refuses gives its reason, which libxcb writes on standard error: it goes in the one line.
std::string XServerRefusal() {
    const std::string display = com::Environment("DISPLAY");
    if (display.empty()) return "DISPLAY is not set";
    bool accepted = false;
    const std::string reason = StandardErrorOf([&] {
        int screen = 0;
        xcb_connection_t* connection = ::xcb_connect(display.c_str(), &screen);
        accepted = ::xcb_connection_has_error(connection) == 0;
        ::xcb_disconnect(connection);  // an object in error too
    });
    if (accepted) return {};
    if (!XServerAnswers(display)) return "the X server at DISPLAY=" + display + " does not answer";
    return "the X server at DISPLAY=" + display + " refuses this program (" +
           (reason.empty() ? "" : reason + ": ") +
           "is there a valid cookie for it in XAUTHORITY or ~/.Xauthority?)";
}

// Empty when a Wayland compositor answers at $WAYLAND_DISPLAY (a name in $XDG_RUNTIME_DIR or a
// path), or at wayland-0 as the Wayland library defaults when it is unset.
std::string WaylandRefusal() {
    std::string name = com::Environment("WAYLAND_DISPLAY");
    if (name.empty()) name = "wayland-0";
    const std::string socket =
        name[0] == '/' ? name : com::Environment("XDG_RUNTIME_DIR") + "/" + name;
    if (ConnectUnix(socket, false)) return {};
    return "the Wayland compositor at WAYLAND_DISPLAY=" + name + " does not answer";
}

std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The platform's name in an entry "name[:options]", in lower case as Qt compares names.
std::string PlatformName(const std::string& entry) {
    std::string name = entry.substr(0, entry.find(':'));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

}  // namespace

Display FindDisplay() {
    std::vector<std::string> entries;
    const std::string asked = com::Environment("QT_QPA_PLATFORM");
    for (size_t start = 0; start <= asked.size();) {
        size_t end = std::min(asked.find(';', start), asked.size());
        if (std::string entry = Trimmed(asked.substr(start, end - start)); !entry.empty())
            entries.push_back(entry);
        start = end + 1;
    }
    if (entries.empty()) {
        if (!com::Environment("WAYLAND_DISPLAY").empty()) entries.push_back("wayland");
        if (!com::Environment("DISPLAY").empty()) entries.push_back("xcb");
        if (entries.empty()) return {{}, "no display: neither DISPLAY nor WAYLAND_DISPLAY is set"};
    }
    // Qt's VNC server is the one platform of Qt 6 that listens on the network; the others draw
    // on this machine's display, its framebuffer or in memory. Refused even as a fallback.
    for (const auto& entry : entries)
        if (PlatformName(entry) == "vnc")
            return {{},
                    "QT_QPA_PLATFORM asks for Qt's VNC server, which would let anyone on the "
                    "network in without a password"};
    std::vector<std::string> usable, refusals;
    for (const auto& entry : entries) {
        const std::string name = PlatformName(entry);
        std::string refusal = name == "xcb"                 ? XServerRefusal()
                              : name.starts_with("wayland") ? WaylandRefusal()
                                                            : std::string();
        if (refusal.empty())
            usable.push_back(entry);
        else if (std::find(refusals.begin(), refusals.end(), refusal) == refusals.end())
            refusals.push_back(refusal);
    }
    if (usable.empty()) return {{}, "no display: " + txt::Join(refusals, "; ")};
    return {txt::Join(usable, ";"), {}};
}

std::string RemoteDisplayHint() {
    return "To see the desktop window from another computer, connect with X forwarding "
           "(ssh -X this-host, then run it again), or run a VNC server bound to localhost on "
           "this machine and reach it through an SSH tunnel (ssh -L 5901:localhost:5901).";
}

}  // namespace app
