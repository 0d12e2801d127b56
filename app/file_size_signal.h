#pragma once
// Writing past the file-size limit (ulimit -f) raises SIGXFSZ, whose default kills the process.
// Ignored, the write fails with EFBIG instead, and SQLite's error reaches the user through the
// normal error path like a full disk. Each program calls this first thing in main.

#include <csignal>

namespace app {

inline void IgnoreFileSizeSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace app
