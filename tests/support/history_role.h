#pragma once
// A PostgreSQL role with the rights README gives a server's ordinary users: it edits criteria and
// matrix rows, reads the host's tables, and may only insert into the history and read it.

#include <string>

#include "platform/ado/connection.h"

namespace testing_support {

inline constexpr const char* kHistoryRole = "dravel_editor";

// Creates the role (once on the server) and gives it its rights on the database of `owner`.
inline void GrantHistoryRole(ado::Connection& owner) {
    owner.Execute(std::string("DO $$ BEGIN CREATE ROLE ") + kHistoryRole +
                  " LOGIN; EXCEPTION WHEN duplicate_object THEN NULL; END $$");
    for (const std::string rights : {
             "SELECT, INSERT, UPDATE, DELETE ON MGA0_QUINTAB, MGA1_MATRCPAR",
             "SELECT ON HOST_DITTE, HOST_MEDIA, HOST_VERSIONE",
             "SELECT, INSERT ON HOST_STORICO",
         })
        owner.Execute("GRANT " + rights + " TO " + kHistoryRole);
}

// `connectionString` (the server's owner's, see postgres_server.h) as the role.
inline std::string AsHistoryRole(std::string connectionString) {
    return connectionString.replace(connectionString.rfind(";UID="), std::string::npos,
                                    std::string(";UID=") + kHistoryRole);
}

}  // namespace testing_support
