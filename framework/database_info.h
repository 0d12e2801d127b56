#pragma once
// What the host tells a module about its database.

#include "contracts/host_global.h"

namespace framework {

class DatabaseInfo : public com::ComObject<DatabaseInfo, host::IDatabaseInfo> {
  public:
    static com::ComPtr<DatabaseInfo> Create(std::string connectionString) {
        return com::ComPtr<DatabaseInfo>(new DatabaseInfo(std::move(connectionString)));
    }
    std::string ConnectionString() override { return connectionString_; }

  private:
    explicit DatabaseInfo(std::string s) : connectionString_(std::move(s)) {}
    std::string connectionString_;
};

}  // namespace framework
