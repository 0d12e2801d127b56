#include "app/paths.h"

#include <unistd.h>

#include <cstdlib>

namespace app {

namespace fs = std::filesystem;

fs::path ModuleLibrary() {
    if (const char* m = std::getenv("DRAVEL_MODULE"); m && *m) return m;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return exe.parent_path().parent_path() / "lib" / "libdravel.so";
}

fs::path DemoDatabase() {
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x)
        return fs::path(x) / "dravel/demo.db";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/tmp") / ".local/share/dravel/demo.db";
}

std::string ConnectionStringFor(const std::string& database) {
    if (database.find('=') != std::string::npos) return database;
    return "Provider=SQLite;Data Source=" + fs::absolute(database).string();
}

}  // namespace app
