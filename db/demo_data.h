#pragma once
// Demo content: two companies with criteria of every posting type, matrix rows and media items.

#include "platform/ado/connection.h"

namespace db {

// Fills an empty schema, in one transaction.
void LoadDemoData(ado::Connection& connection);

}  // namespace db
