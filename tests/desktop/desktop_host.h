#pragma once
// The built dravel-host as a user starts it: on a private X server (Xvfb) that wants a cookie, as
// a desktop session's does, driven by real X input events (xdotool) from a shell script.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "tests/support/module_session.h"
#include "tests/support/process.h"

namespace test {

namespace fs = std::filesystem;

// An X server of the test's own: its display name, and a file holding its cookie for XAUTHORITY.
class XServer {
  public:
    explicit XServer(const fs::path& folder) {
        // Never skipped: a machine without them is not set up (scripts/bootstrap installs them).
        for (const char* tool : {"/usr/bin/Xvfb", "/usr/bin/xauth", "/usr/bin/xdotool"})
            if (!fs::exists(tool))
                throw std::runtime_error(std::string(tool) +
                                         " is missing (Debian packages xvfb, xauth, xdotool)");
        std::random_device random;
        std::string cookie;
        for (int i = 0; i < 32; ++i) cookie += "0123456789abcdef"[random() % 16];
        // The server takes every cookie of its file, whatever display the entry names. It does
        // not reset when its last client goes, which would refuse the next one for a moment.
        AddCookie(folder / "server.auth", ":0", cookie);
        server_ = std::make_unique<testing_support::Process>(
            std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", "1", "-auth",
                                     folder / "server.auth", "-screen", "0", "1280x900x24",
                                     "-nolisten", "tcp", "-noreset"},
            testing_support::CurrentEnvironment(), folder / "xvfb.out", folder / "xvfb.errors");
        // The server writes its display number once it accepts connections.
        for (int i = 0; i < 200 && display_.empty(); ++i) {
            std::ifstream out(folder / "xvfb.out");
            std::string number;
            if (std::getline(out, number) && !number.empty() && out.good())
                display_ = ":" + number;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (display_.empty()) throw std::runtime_error("Xvfb did not start");
        authority_ = folder / "client.auth";
        AddCookie(authority_, display_, cookie);
    }

    const std::string& Display() const { return display_; }
    const fs::path& Authority() const { return authority_; }

  private:
    static void AddCookie(const fs::path& file, const std::string& display,
                          const std::string& cookie) {
        auto [status, output] = testing_support::RunToEnd(
            {"/usr/bin/xauth", "-f", file, "add", display, ".", cookie}, file.string() + ".out");
        if (status != 0) throw std::runtime_error("xauth: " + output);
    }

    std::unique_ptr<testing_support::Process> server_;
    std::string display_;
    fs::path authority_;
};

class DesktopHost : public ::testing::Test {
  protected:
    // This process's environment without what leads elsewhere (another display, the user's files
    // and settings), on the test's X server, with `set` in place of those of the same names.
    // Under the sanitizers, leaks in the libraries Qt loads are not the host's.
    std::vector<std::string> Environment(const std::vector<std::string>& set = {}) const {
        std::string lsan = "suppressions=" DRAVEL_LSAN_SUPPRESSIONS;
        std::vector<std::string> env = {
            "HOME=" + (folder_ / "home").string(),
            "XDG_RUNTIME_DIR=" + (folder_ / "runtime").string(), "DISPLAY=" + x_.Display(),
            "XAUTHORITY=" + x_.Authority().string(), "DRAVEL_HOST=" DRAVEL_HOST_PATH};
        for (const auto& v : testing_support::CurrentEnvironment()) {
            if (v.starts_with("LSAN_OPTIONS="))
                lsan = v.substr(13) + ":" + lsan;
            else if (!v.starts_with("DISPLAY=") && !v.starts_with("WAYLAND_DISPLAY=") &&
                     !v.starts_with("XAUTHORITY=") && !v.starts_with("HOME=") &&
                     !v.starts_with("XDG_") && !v.starts_with("QT_"))
                env.push_back(v);
        }
        env.push_back("LSAN_OPTIONS=" + lsan);
        for (const auto& s : set) {
            const std::string name = s.substr(0, s.find('=') + 1);
            std::erase_if(env, [&](const std::string& v) { return v.starts_with(name); });
            env.push_back(s);
        }
        return env;
    }

    // Runs a shell script in that environment ($DRAVEL_HOST is the host): its exit status (-1
    // when it ran past `limit`) and its output.
    std::pair<int, std::string> Run(const std::string& script,
                                    const std::vector<std::string>& set = {},
                                    std::chrono::seconds limit = std::chrono::seconds(120)) {
        testing_support::Process run({"/bin/sh", "-c", script}, Environment(set),
                                     folder_ / "run.out");
        auto status = run.WaitFor(limit);
        return {status.value_or(-1), run.Output()};
    }

    testing_support::TestFolder folder_;
    XServer x_{folder_.Path()};

  private:
    bool made_ = [this] {
        fs::create_directory(folder_ / "home");
        fs::create_directory(folder_ / "runtime");
        fs::permissions(folder_ / "runtime", fs::perms::owner_all);
        return true;
    }();
};

// Waits (with a time limit, so that the script always ends) until the host's window named $1 is
// shown and has the X input focus, which the host takes once its window is mapped. Keys go where
// that focus is. Without it the script ends with status 99, which the host never gives.
constexpr const char* kWaitForWindow = R"sh(
window() {
  w=$(timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1)
  [ -n "$w" ] || { echo "no window $1"; exit 99; }
  for i in $(seq 200); do [ "$(xdotool getwindowfocus 2>/dev/null)" = "$w" ] && return; sleep 0.05; done
  echo "the window $1 never took the focus"; exit 99
}
)sh";

}  // namespace test
