#pragma once
// A database connection. "Provider=SQLite;Data Source=PATH" selects the embedded provider; any
// other connection string goes to ODBC.

#include <memory>
#include <string>
#include <vector>

#include "platform/ado/types.h"
#include "platform/com/variant.h"

namespace ado {

namespace detail {
class Backend;
}

class Recordset;
class Watcher;

// Tag interface: lets a Connection travel as an IUnknown and be found again.
struct IConnection : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("00000550-0000-0010-8000-00AA006D2EA4");

  protected:
    ~IConnection() = default;
};

class Connection : public com::ComObject<Connection, IConnection> {
  public:
    static com::ComPtr<Connection> Create();
    // The Connection behind an object reference (unset when it is none).
    static com::ComPtr<Connection> From(com::IUnknown* object);

    const std::string& ConnectionString() const { return connectionString_; }
    void SetConnectionString(std::string s);
    int32_t IsolationLevel() const { return isolation_; }
    void SetIsolationLevel(int32_t level);

    // Opens with the given string, or the ConnectionString property when it is empty.
    // options -1 is unspecified. A failure leaves the connection closed: error 3000 range.
    void Open(const std::string& connectionString = {}, const std::string& user = {},
              const std::string& password = {}, int32_t options = adOptionUnspecified);
    void Close();
    ObjectState State() const;

    // Runs a statement. Returns a read-only result: open with its rows when the statement
    // returned rows, closed otherwise. recordsAffected receives the count of changed rows.
    com::ComPtr<Recordset> Execute(const std::string& sql, int32_t* recordsAffected = nullptr,
                                   int32_t options = adOptionUnspecified);
    // Runs a statement with bound parameters (positional `?`).
    com::ComPtr<Recordset> ExecuteWith(const std::string& sql,
                                       const std::vector<com::Variant>& params,
                                       int32_t* recordsAffected = nullptr,
                                       int32_t options = adOptionUnspecified);

    Dialect SqlDialect() const;

    // The watcher told of this connection's transactions, statements and written rows (see
    // watcher.h); nullptr for none. It stays through Close and Open.
    void SetWatcher(std::shared_ptr<Watcher> watcher);
    const std::shared_ptr<Watcher>& GetWatcher() const { return watcher_; }

    detail::Backend& Backend() const;  // for the Recordset; error 3704 when closed

  private:
    friend class com::ComObject<Connection, IConnection>;
    Connection();
    ~Connection() override;

    std::string connectionString_;
    int32_t isolation_ = adXactReadCommitted;
    std::unique_ptr<detail::Backend> backend_;
    std::shared_ptr<Watcher> watcher_;
};

}  // namespace ado
