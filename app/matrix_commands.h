#pragma once
// `dravel matrix list|export|import`: a company's counter-account matrix (MGA1_MATRCPAR) on the
// command line and in CSV files.

#include <ostream>
#include <string>

#include "app/database_option.h"

namespace CLI {
class App;
}

namespace app {

class MatrixCommands {
  public:
    // Adds `matrix` and its three commands to the tool, their database and language options
    // bound to `database` and `language`.
    MatrixCommands(CLI::App& cli, DatabaseOptions& database, std::string& language);

    // Whether the command line chose one of them.
    bool Chosen() const;

    // Runs the chosen command on `database` (as --database takes it; empty: the demo database):
    // 0 when done, 1 when an import was refused (each bad line on `err`). A company or a
    // criterion that does not exist is error 3021.
    int Run(const std::string& database, const std::string& language, std::ostream& out,
            std::ostream& err);

  private:
    int List(const std::string& database, const std::string& language, std::ostream& out);
    int Export(const std::string& database, const std::string& language, std::ostream& out);
    int Import(const std::string& database, const std::string& language, std::ostream& out,
               std::ostream& err);

    CLI::App* matrix_;
    CLI::App* list_;
    CLI::App* export_;
    CLI::App* import_;
    int32_t company_ = 0, criterion_ = 0;
    bool json_ = false, replace_ = false;
    std::string output_, file_;
};

}  // namespace app
