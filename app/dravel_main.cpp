// dravel: the command-line tool. Databases, companies, module registration, listings and session
// scripts.

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/command_line.h"
#include "app/company_commands.h"
#include "app/database_option.h"
#include "app/determination_commands.h"
#include "app/file_size_signal.h"
#include "app/language.h"
#include "app/paths.h"
#include "app/script/script_runner.h"
#include "app/utf8_arguments.h"
#include "app/window_text.h"
#include "db/schema.h"
#include "framework/host_session.h"
#include "framework/log_service.h"
#include "platform/ado/connection_string.h"
#include "platform/com/registry.h"
#include "platform/text/utf8.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    app::IgnoreFileSizeSignal();
    if (int refused = app::RefuseNonUtf8Arguments("dravel", argc, argv, std::cerr)) return refused;
    CLI::App cli{"dravel: criteria maintenance for counter-account determination"};
    cli.require_subcommand(1);
    app::DatabaseOptions databaseOptions;
    std::string language = app::LocaleLanguage();
    const std::string demoDefault = "$DRAVEL_DATABASE, else the demo database";

    auto* show =
        cli.add_subcommand("show", "open the window for a company and print what it shows");
    int company = 0;
    app::AddDatabaseOptions(*show, databaseOptions, demoDefault);
    show->add_option("--company", company, "company code (default: the first)");

    auto* create = cli.add_subcommand("create-db", "create a database with the schema");
    bool demo = false;
    app::AddDatabaseOptions(*create, databaseOptions, "$DRAVEL_DATABASE; one of them is needed");
    create->add_flag("--demo", demo, "add the demo data");

    app::CompanyCommands companies(cli, databaseOptions, language);

    auto* schema = cli.add_subcommand("schema", "print the statements that create the tables");
    std::string dialect = "sqlite";
    schema->add_option("--dialect", dialect, "sqlite, postgresql or tsql")
        ->check(CLI::IsMember({"sqlite", "postgresql", "tsql"}));

    auto* reg =
        cli.add_subcommand("register", "record the module library in the component registry");
    std::string library;
    bool system = false;
    auto* unreg =
        cli.add_subcommand("unregister", "remove the module library from the component registry");
    for (auto* command : {reg, unreg}) {
        command->add_option("--library", library,
                            "path of libdravel.so (default: beside this program)");
        command->add_flag("--system", system,
                          "the system's registry, for every user (the first of $XDG_CONFIG_DIRS, "
                          "else /etc/xdg)");
    }

    auto* run = cli.add_subcommand("script", "run a session script against the headless host");
    std::string file;
    run->add_option("FILE", file, "the script")->required();
    // Not $DRAVEL_DATABASE: a script meant for a throw-away database must not reach the one the
    // user works on.
    app::AddDatabaseOptions(*run, databaseOptions, "a fresh empty one");

    app::DeterminationOptions determination;
    auto* resolve = cli.add_subcommand(
        "resolve", "show which criterion and counter-account a posting reaches, and why");
    int32_t type = 0;
    std::vector<std::string> values;
    resolve->add_option("--company", determination.company, "company code")->required();
    resolve->add_option("--type", type, "posting type (MGA0_FLGRESO)")->required();
    resolve->add_option("VALUES", values, "attribute values as CODE=VALUE");
    auto* check = cli.add_subcommand(
        "check", "list the criteria and matrix rows that can never work or never be reached");
    check->add_option("--company", determination.company, "company code")->required();
    for (auto* command : {resolve, check}) {
        app::AddDatabaseOptions(*command, databaseOptions, demoDefault);
        command->add_flag("--json", determination.json, "print one JSON document");
    }
    for (auto* command : {show, create, resolve, check}) app::AddLanguageOption(*command, language);

    if (auto exit = app::ParseCommandLine(cli, "dravel", argc, argv)) return *exit;
    app::HidePasswords(argc, argv);
    app::SetProgramLanguage(language);

    try {
        const std::string database = app::ChosenDatabase(databaseOptions, !*run);
        if (*show) {
            // Only the demo database is created when missing: any other path that does not exist
            // is a mistake to report.
            auto choice = app::ChooseDatabase(database);
            app::ShowWindowAsText(choice.connectionString, choice.demo, company, language,
                                  std::cout);
            return 0;
        }
        if (*create) {
            if (database.empty())
                throw app::UsageError(app::ProgramText(
                    "Indicare il database da creare: --database, --database-file o "
                    "DRAVEL_DATABASE."));
            const std::string connectionString = app::ConnectionStringFor(database);
            framework::HostSession session(
                connectionString, {.createDatabase = true, .demoData = demo, .language = language});
            if (!session.Created())
                throw com::ComError(
                    com::err::FileAlreadyExists,
                    app::ProgramText("Il database %1 contiene già le tabelle: nulla è stato "
                                     "modificato.",
                                     {ado::DatabaseLabel(connectionString)}));
            std::cout << "created " << ado::DatabaseLabel(connectionString) << "\n";
            return 0;
        }
        if (companies.Chosen()) return companies.Run(database, language, std::cout);
        if (*schema) {
            const auto d = dialect == "sqlite"       ? ado::Dialect::Sqlite
                           : dialect == "postgresql" ? ado::Dialect::Postgresql
                                                     : ado::Dialect::Tsql;
            for (const auto& statement : db::SchemaStatements(d)) std::cout << statement << ";\n";
            return 0;
        }
        fs::path lib = library.empty() ? app::ModuleLibrary() : fs::path(library);
        // The library writes its entries into the registry DRAVEL_REGISTRY names.
        if (system) ::setenv("DRAVEL_REGISTRY", com::Registry::SystemPaths().at(0).c_str(), 1);
        if (*reg) {
            framework::HostSession::RegisterModule(lib);
            std::cout << "registered " << lib.string() << " in "
                      << com::Registry::DefaultPath().string() << "\n";
            return 0;
        }
        if (*unreg) {
            // Nothing is loaded: an entry goes whatever library it names, even one that is gone.
            com::Registry registry;
            const std::string registryFile = registry.File().string();
            if (!library.empty()) {
                if (registry.UnregisterLibrary(library) > 0)
                    std::cout << "unregistered " << library << " from " << registryFile << "\n";
                else
                    std::cout << "nothing in " << registryFile << " names " << library
                              << ": nothing was changed\n";
            } else if (auto removed = registry.Unregister(framework::kModuleProgId)) {
                std::cout << "unregistered " << framework::kModuleProgId << " ("
                          << removed->library.string() << ") from " << registryFile << "\n";
            } else {
                std::cout << framework::kModuleProgId << " is not registered in " << registryFile
                          << ": nothing was changed\n";
            }
            return 0;
        }
        // Exit 0 and 1 are the answers (found / not found, clean / findings); 2 is a failure.
        determination.database = database;
        determination.language = language;
        if (*resolve) return app::RunResolve(determination, type, values, std::cout);
        if (*check) return app::RunCheck(determination, std::cout);
        if (*run) {
            script::RunOptions options;
            if (!database.empty()) options.connectionString = app::ConnectionStringFor(database);
            options.moduleLibrary = app::ModuleLibrary();
            app::EnsureModuleRegistered();  // as the other programs: a stale entry gives way
            auto outcome = script::RunFile(file, options);
            if (outcome.exitCode != 0) std::cerr << txt::Printable(outcome.message) << "\n";
            return outcome.exitCode;
        }
    } catch (const app::UsageError& e) {
        std::cerr << "dravel: " << txt::Printable(e.what()) << "\n";
        return app::kUsageExit;
    } catch (...) {
        auto e = com::CurrentError();
        // What the provider said (its code, the statement) goes to the log, echoed on standard
        // error; the last line says what happened.
        if (!e.Detail().empty())
            framework::LogFailure(e, "dravel", cli.get_subcommands()[0]->get_name());
        std::cerr << "dravel: " << txt::Printable(app::ProgramText(e.Text(), e.Values()))
                  << " (error " << e.Number() << ")\n";
        return *resolve || *check ? 2 : 1;
    }
    return 0;
}
