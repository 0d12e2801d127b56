#pragma once
// Where a command's database comes from: --database, else --database-file, else $DRAVEL_DATABASE
// (for the commands that read it), else the command's own default. A connection string given on
// the command line is visible to every local user in the process list; a file readable by its
// owner alone, or the environment (which only the user and root can read), keeps its password.

#include <string>

namespace CLI {
class App;
}

namespace app {

struct DatabaseOptions {
    std::string database;  // --database
    std::string file;      // --database-file
};

// Adds --database and --database-file to a command; `fallback` says what it uses without them.
void AddDatabaseOptions(CLI::App& command, DatabaseOptions& options, const std::string& fallback);

// The database as --database takes it: the option, else the first line of the database file,
// else $DRAVEL_DATABASE when `environment` allows it; empty when none gives one. A database file
// that others could read or change, or that is not the user's own, is refused.
std::string ChosenDatabase(const DatabaseOptions& options, bool environment = true);

// Removes the passwords of connection strings from the program's arguments, so that the process
// list (/proc/PID/cmdline) no longer shows them; call it once the options hold their copies.
void HidePasswords(int argc, char** argv);

}  // namespace app
