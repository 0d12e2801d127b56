#pragma once
// The database the module works on: the criteria tables and the host tables the framework
// reads (companies and media items).

#include <string>
#include <vector>

#include "platform/ado/connection.h"

namespace db {

// The statements that create the schema in a dialect (error 5 for a dialect not written yet).
// Each dialect's SQL is kept in its own file, schema_<dialect>.cpp.
const std::vector<std::string>& SchemaStatements(ado::Dialect dialect);

// Creates the tables and indexes on an open connection, in one transaction; an SQLite database
// then changes to write-ahead logging.
void CreateSchema(ado::Connection& connection);

}  // namespace db
