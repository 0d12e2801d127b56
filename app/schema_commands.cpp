#include "app/schema_commands.h"

#include <CLI/CLI.hpp>
#include <filesystem>

#include "app/command_line.h"
#include "app/language.h"
#include "app/paths.h"
#include "db/schema_upgrade.h"
#include "db/sqlite_backup.h"
#include "platform/ado/connection_string.h"

namespace fs = std::filesystem;

namespace app {

namespace {

void PrintBackup(const fs::path& backup, std::ostream& out) {
    out << "backup " << backup.string() << std::endl;
}

}  // namespace

SchemaCommands::SchemaCommands(CLI::App& cli, DatabaseOptions& database, std::string& language) {
    upgrade_ = cli.add_subcommand(
        "upgrade-db",
        "bring a database made by an earlier version up to this one's schema, an "
        "SQLite file after its backup beside it");
    backup_ = cli.add_subcommand("backup", "copy an SQLite database, safely while it is in use");
    backup_->add_option("--output", output_, "the copy, a file that does not exist")->required();
    for (auto* command : {upgrade_, backup_}) {
        AddDatabaseOptions(*command, database, "$DRAVEL_DATABASE; one of them is needed");
        AddLanguageOption(*command, language);
    }
}

bool SchemaCommands::Chosen() const {
    return upgrade_->parsed() || backup_->parsed();
}

int SchemaCommands::Run(const std::string& database, std::ostream& out) {
    if (database.empty())
        throw UsageError(
            ProgramText("Indicare il database: --database, --database-file o DRAVEL_DATABASE."));
    const std::string connectionString = ConnectionStringFor(database);
    // A refusal is an answer, 1; a failure to run, thrown, is 2.
    const auto refused = [&] {
        ReportFailure("dravel", upgrade_->parsed() ? "upgrade-db" : "backup");
        return 1;
    };
    try {
        return upgrade_->parsed() ? Upgrade(connectionString, out) : Backup(connectionString, out);
    } catch (const db::UpgradeRefused&) {
        return refused();
    } catch (const com::ComError& e) {
        if (e.Number() != com::err::FileAlreadyExists) throw;
        return refused();
    }
}

// On SQLite the backup is made inside the upgrade's transaction, which holds the write lock: it
// holds what the upgrade starts from, and nothing when there is nothing to do.
int SchemaCommands::Upgrade(const std::string& connectionString, std::ostream& out) {
    const fs::path file = ado::ExistingSqliteFile(connectionString);
    auto connection = ado::Connection::Create();
    connection->Open(connectionString);
    const auto upgrade = db::UpgradeSchema(*connection, [&](int32_t from) {
        if (!file.empty()) PrintBackup(db::BackupBeside(file, from), out);
    });
    const std::string label = ado::DatabaseLabel(connectionString);
    if (upgrade.from == upgrade.to)
        out << label << " is at version " << upgrade.to << ": nothing to do\n";
    else
        out << "upgraded " << label << " from version " << upgrade.from << " to " << upgrade.to
            << "\n";
    return 0;
}

int SchemaCommands::Backup(const std::string& connectionString, std::ostream& out) {
    const fs::path file = ado::ExistingSqliteFile(connectionString);
    if (file.empty())
        throw UsageError(ProgramText(
            "dravel backup copia solo database SQLite: un server si copia con i suoi strumenti "
            "(PostgreSQL: pg_dump)."));
    db::BackupDatabase(file, output_);
    PrintBackup(output_, out);
    return 0;
}

}  // namespace app
