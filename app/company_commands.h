#pragma once
// `dravel company list|add|set`: the host's companies (HOST_DITTE), which a new database lacks.

#include <ostream>
#include <string>

#include "app/database_option.h"

namespace CLI {
class App;
}

namespace app {

class CompanyCommands {
  public:
    // Adds `company` and its three commands to the tool, their database and language options
    // bound to `database` and `language`.
    CompanyCommands(CLI::App& cli, DatabaseOptions& database, std::string& language);

    // Whether the command line chose one of them.
    bool Chosen() const;

    // Runs the chosen command on `database` (as --database takes it; empty: the demo database)
    // and prints the companies it lists, added or changed. 0 when done; a company that exists
    // (add) or does not (set) is refused, error 35602 or 3021; a value the host could not read
    // is a usage error.
    int Run(const std::string& database, const std::string& language, std::ostream& out);

  private:
    CLI::App* company_;
    CLI::App* list_;
    CLI::App* add_;
    CLI::App* set_;
    int32_t code_ = 0;
    std::string name_, accountTypes_, itemClassNesting_;
};

}  // namespace app
