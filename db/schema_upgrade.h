#pragma once
// Brings a database made by an earlier build up to the schema this program works on, through the
// steps of schema_versions.cpp.

#include <cstdint>
#include <functional>

#include "platform/ado/connection.h"
#include "platform/com/com_error.h"

namespace db {

// What UpgradeSchema did: from == to when there was nothing to do.
struct Upgrade {
    int32_t from = 0;
    int32_t to = 0;
};

// A database the upgrade leaves alone: newer than the program, or without the module's tables.
class UpgradeRefused : public com::ComError {
  public:
    using com::ComError::ComError;
};

// Brings the database to kSchemaVersion in one transaction, which takes the write lock before
// the version is read, so that two programs upgrading at once do it once. `beforeSteps` runs
// inside it with the version found, before anything is written, when there is work to do (the
// backup of a file: what it copies is what the steps start from). A database newer than the
// program, or without the module's tables, is refused (UpgradeRefused) and left as it is.
Upgrade UpgradeSchema(ado::Connection& connection,
                      const std::function<void(int32_t from)>& beforeSteps = {});

}  // namespace db
