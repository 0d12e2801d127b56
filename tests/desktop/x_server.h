#pragma once
// A private X server (Xvfb) on a display number it picks itself, stopped with the object.

#include <poll.h>

#include <stdexcept>

#include "tests/desktop/process.h"

namespace desktop_test {

class XServer {
  public:
    // Starts Xvfb with `env`, its output in `log`; throws when it does not come up.
    XServer(const std::string& xvfb, const std::vector<std::string>& env,
            const std::filesystem::path& log)
        : ready_(OpenPipe()),
          xvfb_({xvfb, "-displayfd", std::to_string(ready_.write), "-nolisten", "tcp", "-screen",
                 "0", "1280x900x24"},
                env, log, ready_.write) {
        ::close(ready_.write);
        ready_.write = -1;
        display_ = ":" + ReadDisplayNumber();
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // The value of DISPLAY for the server's clients.
    const std::string& Display() const { return display_; }

  private:
    struct Pipe {
        int read = -1, write = -1;
    };
    static Pipe OpenPipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
        return {fds[0], fds[1]};
    }

    // Xvfb writes the number of the display it took, and a newline, once it accepts clients;
    // it closes the pipe without writing when it fails.
    std::string ReadDisplayNumber() {
        std::string number;
        pollfd p{ready_.read, POLLIN, 0};
        char c = 0;
        while (::poll(&p, 1, 20000) == 1 && ::read(ready_.read, &c, 1) == 1 && c != '\n')
            number += c;
        ::close(ready_.read);
        if (c != '\n' || number.empty())
            throw std::runtime_error("Xvfb did not start:\n" + xvfb_.Output());
        return number;
    }

    Pipe ready_;
    Process xvfb_;
    std::string display_;
};

}  // namespace desktop_test
