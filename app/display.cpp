#include "app/display.h"

#include <netdb.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

#include "platform/com/user_files.h"

namespace app {

namespace {

bool ConnectUnix(const std::string& path, bool abstract) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    size_t offset = abstract ? 1 : 0;  // an abstract name starts with a zero byte
    if (path.size() + offset >= sizeof(addr.sun_path)) {
        ::close(fd);
        return false;
    }
    std::memcpy(addr.sun_path + offset, path.data(), path.size());
    auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), length) == 0;
    ::close(fd);
    return ok;
}

bool ConnectTcp(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return false;
    bool ok = false;
    for (addrinfo* a = found; a && !ok; a = a->ai_next) {
        int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        ok = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0;
        ::close(fd);
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

}  // namespace

std::string DisplayUnavailable() {
    const std::string platform = com::Environment("QT_QPA_PLATFORM");
    if (platform.find("vnc") != std::string::npos)
        return "QT_QPA_PLATFORM asks for Qt's VNC server, which would let anyone on the network "
               "in without a password";
    if (!platform.empty() && platform != "xcb" && platform != "wayland") return {};
    const std::string wayland = com::Environment("WAYLAND_DISPLAY");
    if (!wayland.empty()) {
        std::string socket =
            wayland[0] == '/' ? wayland : com::Environment("XDG_RUNTIME_DIR") + "/" + wayland;
        if (ConnectUnix(socket, false)) return {};
    }
    const std::string x = com::Environment("DISPLAY");
    if (!x.empty()) {
        if (XServerAnswers(x)) return {};
        return "no display: the X server at DISPLAY=" + x + " does not answer";
    }
    return "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
}

std::string RemoteDisplayHint() {
    return "To see the desktop window from another computer, connect with X forwarding "
           "(ssh -X this-host, then run it again), or run a VNC server bound to localhost on "
           "this machine and reach it through an SSH tunnel (ssh -L 5901:localhost:5901).";
}

}  // namespace app
