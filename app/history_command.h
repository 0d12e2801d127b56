#pragma once
// `dravel history`: the history of changes to a company's criteria and matrix rows, newest
// first, as text or JSON.

#include <cstdint>
#include <ostream>
#include <string>

#include "app/database_option.h"

namespace CLI {
class App;
}

namespace app {

class HistoryCommand {
  public:
    // Adds `history` to the tool, its database and language options bound to `database` and
    // `language`.
    HistoryCommand(CLI::App& cli, DatabaseOptions& database, std::string& language);

    // Whether the command line chose it.
    bool Chosen() const;

    // Prints the records on `out` as they are read (empty `database`: the demo database). A
    // --since that is not a day is a usage error; a company that does not exist is error 3021.
    int Run(const std::string& database, const std::string& language, std::ostream& out);

  private:
    CLI::App* history_;
    int32_t company_ = 0, criterion_ = 0;
    std::string since_;
    int64_t limit_ = 0;
    bool json_ = false;
};

}  // namespace app
