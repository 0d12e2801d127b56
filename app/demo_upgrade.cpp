#include "app/demo_upgrade.h"

#include <cerrno>
#include <iostream>

#include "app/language.h"
#include "db/schema_upgrade.h"
#include "db/schema_version.h"
#include "db/sqlite_backup.h"
#include "framework/database_version.h"
#include "platform/ado/connection_string.h"

namespace app {

namespace fs = std::filesystem;

void UpgradeDemoDatabase(const fs::path& file) {
    std::error_code ec;
    if (fs::status(file, ec).type() == fs::file_type::not_found) return;
    auto connection = ado::Connection::Create();
    connection->Open(ado::SqliteConnectionString(file));
    const auto found = framework::SchemaVersionFound(*connection);
    if (!found || *found >= db::kSchemaVersion) return;
    // Made inside the upgrade's transaction: the copy is of the version the steps start from.
    fs::path backup;
    const auto upgrade = db::UpgradeSchema(
        *connection, [&](int32_t from) { backup = db::BackupBeside(file, from); });
    if (upgrade.from == upgrade.to) return;  // another program upgraded it meanwhile
    std::cerr << program_invocation_short_name << ": "
              << ProgramText(
                     "Il database di prova è stato aggiornato dalla versione %1 alla %2; "
                     "la sua copia di prima è %3",
                     {std::to_string(upgrade.from), std::to_string(upgrade.to), backup.string()})
              << "\n";
}

}  // namespace app
