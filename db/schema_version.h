#pragma once
// Which version of the schema a database has: SQLite keeps it in the file's header
// (`PRAGMA user_version`), a server in the host's one-row table HOST_VERSIONE. A database that
// holds the tables but no version was made before versions were kept: version 0, whatever its
// shape. Each version and the steps that bring the one before it up to it are described in
// schema_versions.cpp.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ado/connection.h"

namespace db {

// The version this program makes and works on.
inline constexpr int32_t kSchemaVersion = 2;

// The database's version; 0 when it records none.
int32_t ReadSchemaVersion(ado::Connection& connection);

// The statements that record `version` in a database of `dialect` (`dravel schema` prints them
// after the tables, so that a database made from its output is of this version).
std::vector<std::string> VersionStatements(ado::Dialect dialect, int32_t version);

// Records `version` (inside the caller's transaction, where it has one).
void WriteSchemaVersion(ado::Connection& connection, int32_t version);

}  // namespace db
