// Registering the module: a program that registers it says so, an entry of the user's registry
// that cannot load gives way to the program's own library, unregistering loads nothing.

#include <unistd.h>

#include <fstream>

#include "platform/com/user_files.h"
#include "tests/cli/dravel_cli.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Pair;
using testing_support::DravelCli;
using testing_support::ScopedEnv;

// The module's entry in the user's registry, naming `library`.
void WriteRegistry(const fs::path& registry, const fs::path& library) {
    std::ofstream(registry) << R"({"classes":[{"progId":"DRAVEL.CLSMG_QUINTAB",)"
                            << R"("clsid":"{00000000-0000-0000-0000-00000000000A}","library":")"
                            << library.string() << "\"}]}";
}

// The user's entry names a library moved, cleaned or of another build; one that others could
// change is still refused.
TEST_F(DravelCli, TheModuleIsRegisteredAgainWhereTheUsersEntryCannotLoadAndSaysSo) {
    const fs::path registry = folder_ / "registry.json", gone = "/gone/libdravel.so",
                   notLibrary = folder_ / "notlibrary.so", open = folder_ / "open/libdravel.so",
                   own = fs::path(DRAVEL_CLI_PATH).parent_path().parent_path() / "lib/libdravel.so";
    std::ofstream(notLibrary) << "not a library";  // there, yet another build's: it cannot load
    fs::create_directories(open.parent_path());
    fs::copy_file(own, open);
    fs::permissions(open.parent_path(), fs::perms::all);
    const struct {
        std::optional<fs::path> named;  // the user's entry, if any
        int status;
        std::string firstLine;
    } cases[] = {
        {std::nullopt, 0,
         "dravel: registered the module " + own.string() + " in " + registry.string()},
        {gone, 0,
         "dravel: " + registry.string() + " named " + gone.string() +
             ", which cannot be loaded (cannot open shared object file: No such file or "
             "directory): registered " +
             own.string() + " instead"},
        {notLibrary, 0, "named " + notLibrary.string() + ", which cannot be loaded ("},
        {own, 0, "== Gestione determinazione contropartite =="},
        {open, 1, open.parent_path().string() + " is writable by others"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named.value_or("no entry"));
        fs::remove(registry);
        if (c.named == own)
            Dravel({"register"});
        else if (c.named)
            WriteRegistry(registry, *c.named);
        auto [status, output] = Dravel({"show"});
        EXPECT_EQ(status, c.status) << output;
        EXPECT_THAT(output.substr(0, output.find('\n')), HasSubstr(c.firstLine));
        EXPECT_THAT(com::ReadFile(registry), HasSubstr((c.status ? open : own).string()));
    }

    // A session script's program does the same.
    WriteRegistry(registry, gone);
    std::ofstream(folder_ / "open.dvs") << "company 1\nopen 1\nend\n";
    EXPECT_THAT(Dravel({"script", (folder_ / "open.dvs").string()}),
                Pair(0, HasSubstr(gone.string() + ", which cannot be loaded")));

    // The system's registry is root's to change: its entry that cannot load stays an error, and
    // the user's registry does not take over.
    if (geteuid() != 0) return;  // root alone can own a system's registry
    fs::remove(registry);
    fs::create_directories(folder_ / "system/dravel");
    WriteRegistry(folder_ / "system/dravel/registry.json", gone);
    ScopedEnv dirs("XDG_CONFIG_DIRS", (folder_ / "system").c_str());
    EXPECT_THAT(Dravel({"show"}),
                Pair(1, HasSubstr("Cannot create DRAVEL.CLSMG_QUINTAB: /gone/libdravel.so")));
    EXPECT_FALSE(fs::exists(registry));
}

// Unregistering loads nothing.
TEST_F(DravelCli, UnregisterRemovesTheEntryWhateverLibraryItNames) {
    const fs::path registry = folder_ / "registry.json", gone = "/gone/libdravel.so";
    const struct {
        std::vector<std::string> args;
        std::string said;
        bool stays;
    } cases[] = {
        {{"unregister"},
         "unregistered DRAVEL.CLSMG_QUINTAB (/gone/libdravel.so) from " + registry.string(),
         false},
        {{"unregister", "--library", gone},
         "unregistered /gone/libdravel.so from " + registry.string(),
         false},
        {{"unregister", "--library", "/other/libdravel.so"},
         "nothing in " + registry.string() + " names /other/libdravel.so: nothing was changed",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        WriteRegistry(registry, gone);
        auto [status, output] = Dravel(c.args);
        EXPECT_EQ(status, 0) << output;
        EXPECT_EQ(output, c.said + "\n");
        EXPECT_EQ(com::ReadFile(registry).find(gone) != std::string::npos, c.stays);
    }
    Dravel({"unregister"});
    EXPECT_EQ(Dravel({"unregister"}).second, "DRAVEL.CLSMG_QUINTAB is not registered in " +
                                                 registry.string() + ": nothing was changed\n");
}

}  // namespace
