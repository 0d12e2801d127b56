#include "app/command_line.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "app/language.h"
#include "framework/log_service.h"
#include "platform/text/utf8.h"

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

com::ComError ReportFailure(const std::string& program, const std::string& procedure) {
    auto e = com::CurrentError();
    if (!e.Detail().empty()) framework::LogFailure(e, program, procedure);
    std::cerr << program << ": " << txt::Printable(ProgramText(e.Text(), e.Values())) << " (error "
              << e.Number() << ")\n";
    return e;
}

}  // namespace app
