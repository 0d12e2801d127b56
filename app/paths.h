#pragma once
// Where the programs find the module library and keep the user's data.

#include <filesystem>
#include <string>

namespace app {

// libdravel.so beside the running program (its ../lib folder in the build tree, the private
// library folder once installed), or $DRAVEL_MODULE.
std::filesystem::path ModuleLibrary();

// Registers the module beside the program in the user's registry when neither the user's nor
// the system's registry knows it, or when the user's names a library that cannot be loaded (gone,
// or another build's); says so in one line on standard error. A library that others could
// change is refused (its trust error).
void EnsureModuleRegistered();

// The user's demo database: $XDG_DATA_HOME/dravel/demo.db, else ~/.local/share/dravel/demo.db.
std::filesystem::path DemoDatabase();

// A connection string for a --database argument: a text that starts with "Provider=", "Driver="
// or "DSN=" (any case) is one already; anything else is the path of an SQLite file, taken exactly
// as written (made absolute, nothing trimmed).
std::string ConnectionStringFor(const std::string& database);

// What a program opens for its --database argument: the argument, or (when it is empty) the
// demo database, whose folder is made, which is upgraded when older (demo_upgrade.h) and which
// the session creates when it is missing.
struct DatabaseChoice {
    std::string connectionString;
    bool demo = false;
};
DatabaseChoice ChooseDatabase(const std::string& database);

}  // namespace app
