#include "bench/server/server_databases.h"

#include <functional>
#include <map>

#include "bench/criteria_database.h"
#include "bench/matrix_rows_database.h"
#include "platform/ado/recordset.h"  // the server helper runs statements through it
#include "tests/support/postgres_server.h"

namespace bench {

namespace {

std::string Name(int criteria) {
    return "criteria_" + std::to_string(criteria);
}

// The database `name` made once by `fill`, its statistics taken.
std::string Made(const std::string& name, const std::function<void(ado::Connection&)>& fill) {
    static std::map<std::string, std::string> made;
    auto& connectionString = made[name];
    if (!connectionString.empty()) return connectionString;
    std::string created = testing_support::PostgresServer::Shared().CreateDatabase(name);
    auto connection = ado::Connection::Create();
    connection->Open(created);
    fill(*connection);
    // Statistics now, so that the planner sees the rows from the first statement on.
    connection->Execute("ANALYZE");
    connection->Close();
    connectionString = created;
    return connectionString;
}

}  // namespace

std::string ServerCriteriaDatabase(int criteria) {
    return Made(Name(criteria), [&](ado::Connection& c) { FillCriteria(c, criteria); });
}

std::string ServerMatrixRowsDatabase(int rows) {
    return Made("matrix_" + std::to_string(rows),
                [&](ado::Connection& c) { FillMatrixRows(c, rows); });
}

std::string ServerMatrixRowsDatabaseCopy(int rows, const std::string& name) {
    ServerMatrixRowsDatabase(rows);
    return testing_support::PostgresServer::Shared().CreateDatabase(
        name + "_" + std::to_string(rows), "matrix_" + std::to_string(rows));
}

std::string ServerCriteriaDatabaseCopy(int criteria, const std::string& name) {
    ServerCriteriaDatabase(criteria);
    return testing_support::PostgresServer::Shared().CreateDatabase(
        name + "_" + std::to_string(criteria), Name(criteria));
}

}  // namespace bench
