#include "app/paths.h"

#include "framework/host_session.h"
#include "platform/ado/connection_string.h"
#include "platform/com/registry.h"
#include "platform/com/user_files.h"

namespace app {

namespace fs = std::filesystem;

fs::path ModuleLibrary() {
    if (fs::path set = com::Environment("DRAVEL_MODULE"); !set.empty()) return set;
    std::error_code ec;
    fs::path prefix = fs::read_symlink("/proc/self/exe", ec).parent_path().parent_path();
    fs::path built = prefix / "lib" / "libdravel.so";
    return fs::exists(built, ec) ? built : prefix / DRAVEL_PRIVATE_LIBDIR / "libdravel.so";
}

void EnsureModuleRegistered() {
    if (!com::FindClass(framework::kModuleProgId))
        framework::HostSession::RegisterModule(ModuleLibrary());
}

fs::path DemoDatabase() {
    return com::ProductFolder(com::UserFolder::Data) / "demo.db";
}

std::string ConnectionStringFor(const std::string& database) {
    if (ado::IsConnectionString(database)) return database;
    return ado::SqliteConnectionString(fs::absolute(database));
}

DatabaseChoice ChooseDatabase(const std::string& database) {
    if (!database.empty()) return {ConnectionStringFor(database), false};
    fs::create_directories(DemoDatabase().parent_path());
    return {ConnectionStringFor(DemoDatabase().string()), true};
}

}  // namespace app
