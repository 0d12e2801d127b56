// dravel: the command-line tool. Databases (created, upgraded, backed up), companies, module
// registration, listings and session scripts.

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "app/command_line.h"
#include "app/company_commands.h"
#include "app/database_option.h"
#include "app/determination_commands.h"
#include "app/file_size_signal.h"
#include "app/history_command.h"
#include "app/language.h"
#include "app/matrix_commands.h"
#include "app/paths.h"
#include "app/schema_commands.h"
#include "app/script/script_runner.h"
#include "app/utf8_arguments.h"
#include "app/window_text.h"
#include "db/schema.h"
#include "db/schema_version.h"
#include "framework/host_session.h"
#include "platform/ado/connection_string.h"
#include "platform/com/registry.h"
#include "platform/text/utf8.h"

namespace fs = std::filesystem;

namespace {

const std::string kDemoDefault = "$DRAVEL_DATABASE, else the demo database";

// The tool's commands: each one's options, filled by parsing, and the step that runs it.
class Tool {
  public:
    Tool() {
        cli.require_subcommand(1);
        AddShow();
        AddCreate();
        companies_ = std::make_unique<app::CompanyCommands>(cli, databaseOptions_, language);
        AddSchema();
        schemaCommands_ = std::make_unique<app::SchemaCommands>(cli, databaseOptions_, language);
        AddRegistration();
        AddScript();
        AddDetermination();
        matrix_ = std::make_unique<app::MatrixCommands>(cli, databaseOptions_, language);
        history_ = std::make_unique<app::HistoryCommand>(cli, databaseOptions_, language);
    }

    CLI::App cli{"dravel: criteria maintenance for counter-account determination"};
    std::string language = app::LocaleLanguage();

    // Runs the command parsed; its exit status. A failure is reported on standard error, and
    // what the provider said also in the log.
    int Run() {
        try {
            return RunChosen(app::ChosenDatabase(databaseOptions_, !*script_));
        } catch (const app::UsageError& e) {
            std::cerr << "dravel: " << txt::Printable(e.what()) << "\n";
            return app::kUsageExit;
        } catch (...) {
            return Failed();
        }
    }

  private:
    void AddShow() {
        show_ = cli.add_subcommand("show", "open the window for a company and print what it shows");
        app::AddDatabaseOptions(*show_, databaseOptions_, kDemoDefault);
        show_->add_option("--company", company_, "company code (default: the first)");
        app::AddLanguageOption(*show_, language);
    }

    void AddCreate() {
        create_ = cli.add_subcommand("create-db", "create a database with the schema");
        app::AddDatabaseOptions(*create_, databaseOptions_,
                                "$DRAVEL_DATABASE; one of them is needed");
        create_->add_flag("--demo", demo_, "add the demo data");
        app::AddLanguageOption(*create_, language);
    }

    void AddSchema() {
        schema_ = cli.add_subcommand("schema", "print the statements that create the tables");
        schema_->add_option("--dialect", dialect_, "sqlite, postgresql or tsql")
            ->check(CLI::IsMember({"sqlite", "postgresql", "tsql"}));
    }

    void AddRegistration() {
        register_ =
            cli.add_subcommand("register", "record the module library in the component registry");
        unregister_ = cli.add_subcommand("unregister",
                                         "remove the module library from the component registry");
        for (auto* command : {register_, unregister_}) {
            command->add_option("--library", library_,
                                "path of libdravel.so (default: beside this program)");
            command->add_flag("--system", system_,
                              "the system's registry, for every user (the first of "
                              "$XDG_CONFIG_DIRS, else /etc/xdg)");
        }
    }

    void AddScript() {
        script_ = cli.add_subcommand("script", "run a session script against the headless host");
        script_->add_option("FILE", scriptFile_, "the script")->required();
        // Not $DRAVEL_DATABASE: a script meant for a throw-away database must not reach the one
        // the user works on.
        app::AddDatabaseOptions(*script_, databaseOptions_, "a fresh empty one");
    }

    void AddDetermination() {
        resolve_ = cli.add_subcommand(
            "resolve", "show which criterion and counter-account a posting reaches, and why");
        resolve_->add_option("--company", determination_.company, "company code")->required();
        resolve_->add_option("--type", postingType_, "posting type (MGA0_FLGRESO)")->required();
        resolve_->add_option("VALUES", values_, "attribute values as CODE=VALUE");
        check_ = cli.add_subcommand(
            "check", "list the criteria and matrix rows that can never work or never be reached");
        check_->add_option("--company", determination_.company, "company code")->required();
        for (auto* command : {resolve_, check_}) {
            app::AddDatabaseOptions(*command, databaseOptions_, kDemoDefault);
            command->add_flag("--json", determination_.json, "print one JSON document");
            app::AddLanguageOption(*command, language);
        }
    }

    int RunChosen(const std::string& database) {
        if (*show_) return Show(database);
        if (*create_) return Create(database);
        if (companies_->Chosen()) return companies_->Run(database, language, std::cout);
        if (*schema_) return Schema();
        if (schemaCommands_->Chosen()) return schemaCommands_->Run(database, std::cout);
        if (*register_) return Register();
        if (*unregister_) return Unregister();
        // Exit 0 and 1 are the answers (found / not found, clean / findings); 2 is a failure.
        determination_.database = database;
        determination_.language = language;
        if (*resolve_) return app::RunResolve(determination_, postingType_, values_, std::cout);
        if (*check_) return app::RunCheck(determination_, std::cout);
        if (*script_) return Script(database);
        if (matrix_->Chosen()) return matrix_->Run(database, language, std::cout, std::cerr);
        if (history_->Chosen()) return history_->Run(database, language, std::cout);
        return 0;
    }

    int Show(const std::string& database) {
        // Only the demo database is created when missing: any other path that does not exist is
        // a mistake to report.
        auto choice = app::ChooseDatabase(database);
        app::ShowWindowAsText(choice.connectionString, choice.demo, company_, language, std::cout);
        return 0;
    }

    int Create(const std::string& database) {
        if (database.empty())
            throw app::UsageError(
                app::ProgramText("Indicare il database da creare: --database, --database-file o "
                                 "DRAVEL_DATABASE."));
        const std::string connectionString = app::ConnectionStringFor(database);
        framework::HostSession session(
            connectionString, {.createDatabase = true, .demoData = demo_, .language = language});
        if (!session.Created())
            throw com::ComError(
                com::err::FileAlreadyExists,
                app::ProgramText("Il database %1 contiene già le tabelle: nulla è stato "
                                 "modificato.",
                                 {ado::DatabaseLabel(connectionString)}));
        std::cout << "created " << ado::DatabaseLabel(connectionString) << "\n";
        return 0;
    }

    int Schema() {
        const auto d = dialect_ == "sqlite"       ? ado::Dialect::Sqlite
                       : dialect_ == "postgresql" ? ado::Dialect::Postgresql
                                                  : ado::Dialect::Tsql;
        for (const auto& statement : db::SchemaStatements(d)) std::cout << statement << ";\n";
        for (const auto& statement : db::VersionStatements(d, db::kSchemaVersion))
            std::cout << statement << ";\n";
        return 0;
    }

    // The library writes its entries into the registry DRAVEL_REGISTRY names.
    void ChooseRegistry() {
        if (system_) ::setenv("DRAVEL_REGISTRY", com::Registry::SystemPaths().at(0).c_str(), 1);
    }

    int Register() {
        const fs::path library = library_.empty() ? app::ModuleLibrary() : fs::path(library_);
        ChooseRegistry();
        framework::HostSession::RegisterModule(library);
        std::cout << "registered " << library.string() << " in "
                  << com::Registry::DefaultPath().string() << "\n";
        return 0;
    }

    // Nothing is loaded: an entry goes whatever library it names, even one that is gone.
    int Unregister() {
        ChooseRegistry();
        com::Registry registry;
        const std::string registryFile = registry.File().string();
        if (!library_.empty()) {
            if (registry.UnregisterLibrary(library_) > 0)
                std::cout << "unregistered " << library_ << " from " << registryFile << "\n";
            else
                std::cout << "nothing in " << registryFile << " names " << library_
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

    int Script(const std::string& database) {
        script::RunOptions options;
        if (!database.empty()) options.connectionString = app::ConnectionStringFor(database);
        options.moduleLibrary = app::ModuleLibrary();
        options.program = "dravel script " + scriptFile_;
        app::EnsureModuleRegistered();  // as the other programs: a stale entry gives way
        auto outcome = script::RunFile(scriptFile_, options);
        if (outcome.exitCode != 0) std::cerr << txt::Printable(outcome.message) << "\n";
        return outcome.exitCode;
    }

    // The failure under way, in one line on standard error; its exit status (2 for the commands
    // whose 1 is an answer or a refusal).
    int Failed() {
        app::ReportFailure("dravel", cli.get_subcommands()[0]->get_name());
        return *resolve_ || *check_ || matrix_->Chosen() || schemaCommands_->Chosen() ||
                       history_->Chosen()
                   ? 2
                   : 1;
    }

    app::DatabaseOptions databaseOptions_;
    CLI::App *show_, *create_, *schema_, *register_, *unregister_, *script_, *resolve_, *check_;
    std::unique_ptr<app::CompanyCommands> companies_;
    std::unique_ptr<app::SchemaCommands> schemaCommands_;
    std::unique_ptr<app::MatrixCommands> matrix_;
    std::unique_ptr<app::HistoryCommand> history_;
    int company_ = 0;
    bool demo_ = false;
    std::string dialect_ = "sqlite";
    std::string library_;
    bool system_ = false;
    std::string scriptFile_;
    app::DeterminationOptions determination_;
    int32_t postingType_ = 0;
    std::vector<std::string> values_;
};

}  // namespace

int main(int argc, char** argv) {
    app::IgnoreFileSizeSignal();
    if (int refused = app::RefuseNonUtf8Arguments("dravel", argc, argv, std::cerr)) return refused;
    Tool tool;
    if (auto exit = app::ParseCommandLine(tool.cli, "dravel", argc, argv)) return *exit;
    app::HidePasswords(argc, argv);
    app::SetProgramLanguage(tool.language);
    return tool.Run();
}
