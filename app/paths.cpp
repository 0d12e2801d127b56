#include "app/paths.h"

#include <cerrno>
#include <iostream>

#include "app/demo_upgrade.h"
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
    const fs::path own = ModuleLibrary();
    com::Registry users;
    const auto entry = users.Find(framework::kModuleProgId);
    std::string note;
    if (entry) {
        // Left by a clone since moved or cleaned, or by another build (an ASan build's library
        // does not load in the optimised program): the user's entry gives way to the library
        // beside the program. The system's registry is root's to change.
        auto why = com::LoadServer(entry->library);
        std::error_code ec;
        if (!why || !fs::exists(own, ec) || fs::equivalent(own, entry->library, ec)) return;
        const std::string named = entry->library.string();
        if (why->starts_with(named + ": ")) why->erase(0, named.size() + 2);
        note = users.File().string() + " named " + named + ", which cannot be loaded (" + *why +
               "): registered " + own.string() + " instead";
    } else if (com::FindClass(framework::kModuleProgId)) {
        return;
    } else {
        note = "registered the module " + own.string() + " in " + users.File().string();
    }
    framework::HostSession::RegisterModule(own);
    std::cerr << program_invocation_short_name << ": " << note << "\n";
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
    UpgradeDemoDatabase(DemoDatabase());
    return {ConnectionStringFor(DemoDatabase().string()), true};
}

}  // namespace app
