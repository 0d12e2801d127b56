#pragma once
// The database the module works on: the criteria tables and the host tables the framework
// reads (companies and media items).

#include <functional>
#include <string>
#include <vector>

#include "platform/ado/connection.h"

namespace db {

// The statements that create the schema in a dialect (error 5 for a dialect not written yet).
// Each dialect's SQL is kept in its own file, schema_<dialect>.cpp.
const std::vector<std::string>& SchemaStatements(ado::Dialect dialect);

// Runs `inserts`, which give the keys of `table` (column `key`) explicitly, so that the keys the
// database generates later continue after the largest one.
void InsertWithKeys(ado::Connection& connection, const std::string& table, const std::string& key,
                    const std::function<void()>& inserts);

// Creates the tables and indexes on an open connection, in one transaction.
void CreateSchema(ado::Connection& connection);

// The schema's tables, in the order it creates them.
std::vector<std::string> SchemaTables(ado::Dialect dialect);

// The schema's tables the database does not hold, in the schema's order.
std::vector<std::string> MissingTables(ado::Connection& connection);

// The tables of the first versions that the database does not hold: those of version 0, which
// an older database must have (the version table and the history come with later versions).
std::vector<std::string> MissingOriginalTables(ado::Connection& connection);

// What CreateDatabase found.
enum class Creation {
    Created,   // none of the tables: this call created them
    Complete,  // every table (but those of later versions, which older ones lack): left as it is
    Partial,   // some of the tables only: left as it is, for its owner to mend
};

// Makes a database that holds none of the tables (a new SQLite file) ready: write-ahead logging
// on SQLite, so that two editors wait for each other, then the tables and whatever `fill` writes
// (the demo data), in one transaction. A program creating it at the same moment waits for that
// transaction and finds the database made.
Creation CreateDatabase(ado::Connection& connection, const std::function<void()>& fill = {});

}  // namespace db
