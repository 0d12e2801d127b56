#pragma once
// Runs a session script against the headless host and the dynamically loaded module.

#include <filesystem>
#include <string>

namespace script {

struct RunOptions {
    std::string connectionString;           // empty: a fresh temporary SQLite database, schema only
    std::filesystem::path moduleLibrary;    // registered when the module is not yet registered
    std::string program = "dravel script";  // as the history's records name it
};

struct Outcome {
    int exitCode = 0;     // 0 all holds, 1 an expectation failed, 2 the script does not parse
    std::string message;  // "FILE:LINE: expected ..., got ..." when not 0
};

Outcome RunFile(const std::filesystem::path& file, const RunOptions& options);
Outcome RunText(const std::string& name, const std::string& text, const RunOptions& options);

}  // namespace script
