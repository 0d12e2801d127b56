#include "app/command_line.h"

#include <CLI/CLI.hpp>
#include <iostream>

namespace app {

std::optional<int> ParseCommandLine(CLI::App& cli, const std::string& program, int argc,
                                    char** argv) {
    try {
        cli.parse(argc, argv);
        return std::nullopt;
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return cli.exit(e);  // --help
        // The command the mistake is in, whose help the line points to.
        std::string command = program;
        const CLI::App* in = &cli;
        while (!in->get_subcommands().empty()) {
            in = in->get_subcommands().front();
            command += " " + in->get_name();
        }
        std::string what = e.what();
        // CLI11 says that a command is missing also when the word in its place is none.
        if (in->get_require_subcommand_min() > 0 && !in->remaining().empty())
            what = "\"" + in->remaining().front() + "\" is not a command";
        std::cerr << program << ": " << what << " (see " << command << " --help)\n";
        return kUsageExit;
    }
}

}  // namespace app
