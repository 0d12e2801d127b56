#pragma once
// Demo content: two companies with criteria of every posting type, matrix rows and media items.

#include <filesystem>
#include <string>

#include "platform/ado/connection.h"

namespace db {

// Fills an empty schema, in one transaction.
void LoadDemoData(ado::Connection& connection);

// Creates a new SQLite file with the schema and the demo data; returns its connection string.
// An existing file is refused (error 58), never overwritten.
std::string CreateDemoDatabase(const std::filesystem::path& file);

}  // namespace db
