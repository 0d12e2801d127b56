#pragma once
// The embedded SQLite provider.

#include "platform/ado/backend.h"
#include "platform/ado/sqlite/sqlite_statement.h"

struct sqlite3;
struct sqlite3_stmt;

namespace ado::detail {

class SqliteBackend final : public Backend {
  public:
    SqliteBackend() = default;
    ~SqliteBackend() override;

    void Open(const std::string& target, int32_t timeoutSeconds) override;
    void Close() override;
    bool IsOpen() const override { return db_ != nullptr; }

    QueryResult Query(const std::string& sql, const std::vector<com::Variant>& params) override;
    int32_t Execute(const std::string& sql, const std::vector<com::Variant>& params) override;

    void Begin(bool immediate) override;
    void Commit() override;
    void Rollback() override;
    bool InTransaction() const override;

    std::string SameValue(const std::string& column, const com::Variant& value) const override;
    bool IsConstraintViolation(const com::ComError& e) const override;
    bool IsBusy(const com::ComError& e) const override;
    int64_t LastInsertKey() const override;
    std::vector<std::string> PrimaryKey(const std::string& table) override;

    Dialect SqlDialect() const override { return Dialect::Sqlite; }

  private:
    sqlite3* Db() const;

    sqlite3* db_ = nullptr;
    StatementCache statements_;  // finalised before the connection closes
    int nested_ = 0;             // savepoints open inside the outer transaction
};

}  // namespace ado::detail
