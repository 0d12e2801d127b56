#pragma once
// The ODBC provider (unixODBC): database servers reached through their ODBC drivers
// (PostgreSQL through psqlODBC, SQL Server through FreeTDS).

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ado/backend.h"

namespace ado::detail {

class OdbcStatement;

class OdbcBackend final : public Backend {
  public:
    OdbcBackend();
    ~OdbcBackend() override;

    // `target` is the ODBC connection string itself (Driver=...;Server=...;... or DSN=...).
    void Open(const std::string& target, int32_t timeoutSeconds) override;
    void Close() override;
    bool IsOpen() const override;

    QueryResult Query(const std::string& sql, const std::vector<com::Variant>& params) override;
    int32_t Execute(const std::string& sql, const std::vector<com::Variant>& params) override;

    void Begin(bool immediate) override;
    void Commit() override;
    void Rollback() override;
    bool InTransaction() const override { return inTransaction_; }
    void SetIsolation(int32_t level) override;

    std::string SameValue(const std::string& column, const com::Variant& value) const override;
    bool IsConstraintViolation(const com::ComError& e) const override;
    bool IsBusy(const com::ComError& e) const override;
    int64_t LastInsertKey() const override;
    int64_t InsertGeneratingKey(const InsertParts& insert, const std::vector<com::Variant>& params,
                                const std::string& keyColumn) override;
    std::vector<std::string> PrimaryKey(const std::string& table) override;

    Dialect SqlDialect() const override { return dialect_; }

  private:
    struct Handles;
    void* Dbc() const;
    void EndTransaction(bool commit);
    QueryResult Run(const std::string& sql, const std::vector<com::Variant>& params);
    // Runs `sql` and hands its statement to `read`: a statement kept prepared when it may be
    // (see Keepable), else one sent as text.
    template <class F>
    auto Running(const std::string& sql, const std::vector<com::Variant>& params, F&& read);
    // Runs `work` on a connection that is up: a broken one is opened again first, unless a
    // transaction was open on it (see Usable). A failure that loses the connection marks it
    // broken.
    template <class F>
    auto OnConnection(F&& work);
    void Usable();

    std::unique_ptr<Handles> handles_;
    // What a broken connection is opened again with.
    std::string target_;
    int32_t timeoutSeconds_ = 0;
    std::optional<int32_t> isolation_;
    // The failure that lost the connection, while it is broken.
    std::optional<com::ComError> lost_;
    Dialect dialect_ = Dialect::Postgresql;
    bool inTransaction_ = false;
    int nested_ = 0;  // savepoints open inside the outer transaction
    // The primary keys found on this connection, by table, so that a recordset read again (after
    // every save and move) does not ask the server again; a table's key is taken not to change
    // while the connection is open.
    std::map<std::string, std::vector<std::string>> primaryKeys_;
    // Statements kept prepared, by their text; none yet for a text sent once so far.
    std::map<std::string, std::unique_ptr<OdbcStatement>> prepared_;
};

}  // namespace ado::detail
