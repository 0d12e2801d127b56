#pragma once
// What a program does with a database of another schema version than its own: it refuses it
// before writing anything, in one line saying what to do.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ado/connection.h"

namespace framework {

// The schema version of a database that holds our tables; nothing for one that holds none (a new
// or empty database, which records no version).
std::optional<int32_t> SchemaVersionFound(ado::Connection& connection);

// Refuses (error 3219) a database holding our tables at another version than db::kSchemaVersion:
// an older one names the command that upgrades it, a newer one asks for a newer program.
void RequireSchemaVersion(ado::Connection& connection, const std::string& connectionString);

}  // namespace framework
