#include "bench/server/server_databases.h"

#include <map>

#include "bench/criteria_database.h"
#include "platform/ado/recordset.h"  // the server helper runs statements through it
#include "tests/support/postgres_server.h"

namespace bench {

namespace {

std::string Name(int criteria) {
    return "criteria_" + std::to_string(criteria);
}

}  // namespace

std::string ServerCriteriaDatabase(int criteria) {
    static std::map<int, std::string> made;
    auto& connectionString = made[criteria];
    if (!connectionString.empty()) return connectionString;
    auto& server = testing_support::PostgresServer::Shared();
    std::string created = server.CreateDatabase(Name(criteria));
    auto connection = ado::Connection::Create();
    connection->Open(created);
    FillCriteria(*connection, criteria);
    // Statistics now, so that the planner sees the rows from the first statement on.
    connection->Execute("ANALYZE");
    connection->Close();
    connectionString = created;
    return connectionString;
}

std::string ServerCriteriaDatabaseCopy(int criteria, const std::string& name) {
    ServerCriteriaDatabase(criteria);
    return testing_support::PostgresServer::Shared().CreateDatabase(
        name + "_" + std::to_string(criteria), Name(criteria));
}

}  // namespace bench
