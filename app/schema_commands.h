#pragma once
// `dravel upgrade-db` and `dravel backup`: a database brought up to the program's schema version,
// and consistent copies of an SQLite database.

#include <ostream>
#include <string>

#include "app/database_option.h"

namespace CLI {
class App;
}

namespace app {

class SchemaCommands {
  public:
    // Adds both commands to the tool, their database and language options bound to `database`
    // and `language`.
    SchemaCommands(CLI::App& cli, DatabaseOptions& database, std::string& language);

    // Whether the command line chose one of them.
    bool Chosen() const;

    // Runs the chosen command on `database` (as --database takes it; it must name one) and
    // prints what it did. 0 when done; 1 when refused (a database newer than the program or
    // without the module's tables, an output that exists), the reason on standard error; other
    // failures are thrown.
    int Run(const std::string& database, std::ostream& out);

  private:
    int Upgrade(const std::string& connectionString, std::ostream& out);
    int Backup(const std::string& connectionString, std::ostream& out);

    CLI::App* upgrade_;
    CLI::App* backup_;
    std::string output_;
};

}  // namespace app
