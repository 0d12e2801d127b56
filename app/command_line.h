#pragma once
// What both programs do with their command line.

#include <optional>
#include <stdexcept>
#include <string>

#include "platform/com/com_error.h"

namespace CLI {
class App;
}

namespace app {

// Exit status of a usage error: a command or option that does not exist, a value missing or
// malformed.
inline constexpr int kUsageExit = 2;

// A usage error found after parsing, its message in the program's language.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Parses the command line. --help prints the help and gives 0; a usage error prints one line
// naming it and gives kUsageExit; nothing when the program goes on.
std::optional<int> ParseCommandLine(CLI::App& cli, const std::string& program, int argc,
                                    char** argv);

// The failure in flight, reported as both programs report it: what the provider said (its code,
// the statement) to the log, echoed on standard error, then one line saying what happened, in
// the program's language. Returns the failure.
com::ComError ReportFailure(const std::string& program, const std::string& procedure);

}  // namespace app
