#include "db/schema_upgrade.h"

#include "db/schema.h"
#include "db/schema_steps.h"
#include "db/schema_version.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/transaction.h"
#include "platform/text/text.h"

namespace db {

namespace {

// Makes an upgrade under way elsewhere finish before the version is read. SQLite's transaction
// holds the write lock already; a server's lock is the transaction's own, held until its end.
void AwaitOtherUpgrades(ado::Connection& connection) {
    switch (connection.SqlDialect()) {
        case ado::Dialect::Sqlite:
            return;
        case ado::Dialect::Postgresql:
            connection.Execute(
                "SELECT COUNT(*) FROM (SELECT pg_advisory_xact_lock(hashtext('dravel "
                "upgrade-db'))) AS locked");
            return;
        case ado::Dialect::Tsql:
            connection.Execute(
                "EXEC sp_getapplock @Resource = 'dravel upgrade-db', @LockMode = 'Exclusive', "
                "@LockOwner = 'Transaction'");
            return;
    }
}

UpgradeRefused Refusal(ado::Connection& connection, const char* text,
                       std::vector<std::string> values) {
    values.insert(values.begin(), ado::DatabaseLabel(connection.ConnectionString()));
    UpgradeRefused refusal(com::err::OperationNotAllowed, text);
    refusal.SetValues(std::move(values));
    return refusal;
}

}  // namespace

Upgrade UpgradeSchema(ado::Connection& connection,
                      const std::function<void(int32_t from)>& beforeSteps) {
    ado::Transaction transaction(connection);
    AwaitOtherUpgrades(connection);
    Upgrade upgrade{ReadSchemaVersion(connection), kSchemaVersion};
    if (upgrade.from > kSchemaVersion)
        throw Refusal(connection,
                      "Il database %1 è alla versione %2 dello schema, più recente della versione "
                      "%3 di questo programma: nulla è stato modificato.",
                      {std::to_string(upgrade.from), std::to_string(kSchemaVersion)});
    if (upgrade.from == kSchemaVersion) return upgrade;
    const auto missing = MissingOriginalTables(connection);  // the steps make the others
    if (!missing.empty())
        throw Refusal(connection,
                      "Il database %1 non contiene le tabelle del modulo (mancano: %2): nulla è "
                      "stato modificato.",
                      {txt::Join(missing, ", ")});
    if (beforeSteps) beforeSteps(upgrade.from);
    for (const auto& step : SchemaSteps())
        if (step.version > upgrade.from) step.run(connection);
    WriteSchemaVersion(connection, kSchemaVersion);
    transaction.Commit();
    return upgrade;
}

}  // namespace db
