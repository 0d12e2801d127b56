#pragma once
// Supplies the connection objects a module's windows work with.

#include <functional>
#include <memory>

#include "contracts/models.h"
#include "platform/ado/watcher.h"

namespace framework {

class ConnectionSupplier : public com::ComObject<ConnectionSupplier, host::IConnectionSupplier> {
  public:
    // Each connection it supplies gets a watcher of its own from `watchers`, when given.
    using Watchers = std::function<std::shared_ptr<ado::Watcher>()>;
    static com::ComPtr<ConnectionSupplier> Create(Watchers watchers = {}) {
        return com::ComPtr<ConnectionSupplier>(new ConnectionSupplier(std::move(watchers)));
    }
    // A new, closed connection.
    com::ComPtr<ado::Connection> NewConnection() override {
        auto connection = ado::Connection::Create();
        if (watchers_) connection->SetWatcher(watchers_());
        return connection;
    }

  private:
    explicit ConnectionSupplier(Watchers watchers) : watchers_(std::move(watchers)) {}
    Watchers watchers_;
};

}  // namespace framework
