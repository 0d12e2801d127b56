#pragma once
// Where the programs find the module library and keep the user's data.

#include <filesystem>
#include <string>

namespace app {

// libdravel.so beside the running program (its ../lib folder), or $DRAVEL_MODULE.
std::filesystem::path ModuleLibrary();

// The user's demo database: $XDG_DATA_HOME/dravel/demo.db, else ~/.local/share/dravel/demo.db.
std::filesystem::path DemoDatabase();

// A connection string for a --database argument: a file path is an SQLite database; a text with
// '=' is taken as a connection string as it is.
std::string ConnectionStringFor(const std::string& database);

}  // namespace app
