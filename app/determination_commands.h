#pragma once
// `dravel resolve` and `dravel check`: the determination rule on a database, for the user.

#include <ostream>
#include <string>
#include <vector>

namespace app {

struct DeterminationOptions {
    std::string database;  // as --database takes it; empty: the demo database
    int32_t company = 0;
    std::string language = "it";
    bool json = false;
};

// Prints the walk for a posting type and CODE=VALUE pairs; 0 when an account was found, 1 when
// none. A type that does not exist, a pair that is not CODE=VALUE, a code the catalogue does not
// have or one given twice is a usage error.
int RunResolve(const DeterminationOptions& options, int32_t type,
               const std::vector<std::string>& values, std::ostream& out);

// Prints the company's findings; 0 when there are none, 1 otherwise.
int RunCheck(const DeterminationOptions& options, std::ostream& out);

}  // namespace app
