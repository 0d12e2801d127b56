#pragma once
// The steps between the schema's versions (schema_versions.cpp), which UpgradeSchema runs.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ado/connection.h"

namespace db {

// Brings version `version - 1` up to `version` in the connection's dialect, inside the upgrade's
// transaction. Running it again on its result changes nothing.
struct SchemaStep {
    int32_t version;
    void (*run)(ado::Connection& connection);
};

// Every step, oldest first.
const std::vector<SchemaStep>& SchemaSteps();

// On SQLite, gives each table and index that `statements` create exactly that definition: a table
// defined otherwise is made again holding its rows with their keys (an AUTOINCREMENT key goes on
// after the largest one), an index defined otherwise is dropped and made again, a missing
// one is made.
void ReshapeSqlite(ado::Connection& connection, const std::vector<std::string>& statements);

}  // namespace db
