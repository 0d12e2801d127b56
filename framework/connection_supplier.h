#pragma once
// Supplies the connection objects a module's windows work with.

#include "contracts/models.h"

namespace framework {

class ConnectionSupplier : public com::ComObject<ConnectionSupplier, host::IConnectionSupplier> {
  public:
    static com::ComPtr<ConnectionSupplier> Create() {
        return com::ComPtr<ConnectionSupplier>(new ConnectionSupplier());
    }
    // A new, closed connection.
    com::ComPtr<ado::Connection> NewConnection() override { return ado::Connection::Create(); }

  private:
    ConnectionSupplier() = default;
};

}  // namespace framework
