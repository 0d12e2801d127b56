#include "platform/ado/connection.h"

#include "platform/ado/backend.h"
#include "platform/ado/recordset.h"
#include "platform/ado/watching_backend.h"
#include "platform/com/com_error.h"

namespace ado {

namespace {
// How long connecting may take, and how long a statement waits behind another connection's lock
// before it gives up as busy.
constexpr int32_t kTimeoutSeconds = 15;
}  // namespace

Connection::Connection() = default;
Connection::~Connection() = default;

com::ComPtr<Connection> Connection::Create() {
    return com::ComPtr<Connection>(new Connection());
}

com::ComPtr<Connection> Connection::From(com::IUnknown* object) {
    auto tag = com::QueryAs<IConnection>(object);
    return com::ComPtr<Connection>(static_cast<Connection*>(tag.Get()));
}

void Connection::SetConnectionString(std::string s) {
    if (State() == adStateOpen)
        throw com::ComError(com::err::OperationNotAllowed,
                            "The connection string cannot change while the connection is open");
    connectionString_ = std::move(s);
}

void Connection::SetIsolationLevel(int32_t level) {
    if (backend_) backend_->SetIsolation(level);
    isolation_ = level;
}

void Connection::Open(const std::string& connectionString, const std::string&, const std::string&,
                      int32_t) {
    if (State() == adStateOpen)
        throw com::ComError(com::err::OperationNotAllowed, "The connection is already open");
    if (!connectionString.empty()) connectionString_ = connectionString;
    backend_ = detail::OpenProvider(connectionString_, kTimeoutSeconds);
    if (isolation_ != adXactUnspecified) backend_->SetIsolation(isolation_);
    SetWatcher(std::move(watcher_));
}

void Connection::SetWatcher(std::shared_ptr<Watcher> watcher) {
    if (auto* watching = dynamic_cast<detail::WatchingBackend*>(backend_.get()))
        backend_ = watching->Release();
    watcher_ = std::move(watcher);
    if (backend_ && watcher_)
        backend_ = std::make_unique<detail::WatchingBackend>(std::move(backend_), *this, *watcher_);
}

void Connection::Close() {
    if (!backend_) throw com::ComError(com::err::ObjectClosed);
    backend_->Close();
    backend_.reset();
}

ObjectState Connection::State() const {
    return backend_ ? adStateOpen : adStateClosed;
}

detail::Backend& Connection::Backend() const {
    if (!backend_) throw com::ComError(com::err::ObjectClosed);
    return *backend_;
}

com::ComPtr<Recordset> Connection::Execute(const std::string& sql, int32_t* recordsAffected,
                                           int32_t options) {
    return ExecuteWith(sql, {}, recordsAffected, options);
}

com::ComPtr<Recordset> Connection::ExecuteWith(const std::string& sql,
                                               const std::vector<com::Variant>& params,
                                               int32_t* recordsAffected, int32_t options) {
    detail::QueryResult result = Backend().Query(sql, params);
    if (recordsAffected) *recordsAffected = result.rowsAffected;
    auto rs = Recordset::Create();
    bool noRecords = options != adOptionUnspecified && (options & adExecuteNoRecords);
    if (result.hasColumns && !noRecords) rs->OpenResult(sql, this, std::move(result));
    return rs;
}

Dialect Connection::SqlDialect() const {
    return Backend().SqlDialect();
}

}  // namespace ado
