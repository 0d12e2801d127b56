#pragma once
// What a connection tells the one watcher it may have: the outermost transaction's begin, each
// statement before and after it runs, each row a recordset writes back (as a row: the statement
// that writes it is not told), the moment before the outermost commit and the rollback. Whatever
// the watcher runs on the connection from inside these calls belongs to the same transaction and is
// not watched itself. A watcher that throws from BeforeCommit stops the commit: the transaction
// rolls back. While a watcher listens, a statement that writes outside any transaction, and a row
// written back outside one, run in a transaction of their own, so that what the watcher writes for
// them commits with them.

#include <optional>
#include <string>
#include <vector>

#include "platform/ado/backend.h"
#include "platform/ado/connection.h"

namespace ado {

enum class RowChange { Insert, Update, Delete };

// A row a recordset wrote back: the base table's columns, as read (none for an insert) and as
// the database holds them now (none for a delete).
struct WrittenRow {
    const std::string& table;
    const std::vector<std::string>& columns;
    const std::string& keyColumn;
    RowChange change;
    const detail::RowValues& before;
    const detail::RowValues& after;
};

// The table an UPDATE or a DELETE changes.
struct ChangedTable {
    std::string name;     // unquoted
    std::string written;  // as the statement writes it
    bool deletes = false;
    bool joins = false;  // an UPDATE that reads other rows in a FROM of its own
};

// The rows an UPDATE or a DELETE changed, as the statement itself returned them: the columns a
// watcher asked for, an UPDATE's rows as it left them, a DELETE's as they were.
struct ReturnedRows {
    const ChangedTable& table;
    const std::vector<std::string>& columns;
    const std::vector<detail::RowValues>& rows;
};

class Watcher {
  public:
    virtual ~Watcher() = default;
    virtual void Began(Connection&) {}
    // The columns of the rows that an UPDATE or a DELETE about to run changes in `table`, for
    // RowsReturned after it ran ("*": a DELETE's whole rows); none: nothing asked. Asked, before
    // BeforeStatement, only where the database returns them from the statement itself (SQLite,
    // PostgreSQL) and the statement can take the clause: a watcher that asks and gets them needs
    // no read of its own before the statement.
    virtual std::vector<std::string> ColumnsToReturn(const ChangedTable& /*table*/) { return {}; }
    virtual void RowsReturned(Connection&, const ReturnedRows&) {}
    virtual void BeforeStatement(Connection&, const std::string& /*sql*/,
                                 const std::vector<com::Variant>& /*params*/) {}
    virtual void AfterStatement(Connection&, const std::string& /*sql*/,
                                const std::vector<com::Variant>& /*params*/,
                                int32_t /*rowsAffected*/) {}
    virtual void RowWritten(Connection&, const WrittenRow&) {}
    virtual void BeforeCommit(Connection&) {}
    // What was gathered for the transaction is to be dropped; never throws.
    virtual void RolledBack(Connection&) noexcept {}
};

// While it lives, the connection's statements go unwatched: raw SQL, which no watcher is to see.
// Made between transactions: the watcher counts the transactions it sees begin.
class Unwatched {
  public:
    explicit Unwatched(Connection& connection)
        : connection_(connection), kept_(connection.GetWatcher()) {
        connection_.SetWatcher(nullptr);
    }
    ~Unwatched() { connection_.SetWatcher(kept_); }
    Unwatched(const Unwatched&) = delete;
    Unwatched& operator=(const Unwatched&) = delete;

  private:
    Connection& connection_;
    std::shared_ptr<Watcher> kept_;
};

// The SELECT of the rows an UPDATE or a DELETE will change (the table's columns, under the
// statement's own conditions and parameters), for a watcher to read before the statement runs.
struct RowsQuery {
    std::string table;  // as the statement names it, unquoted
    std::string sql;
    std::vector<com::Variant> params;
};
std::optional<RowsQuery> RowsTouchedBy(const std::string& sql,
                                       const std::vector<com::Variant>& params);

// The table of an UPDATE or a DELETE that RowsTouchedBy reads and that a RETURNING clause can
// end: one statement, without its own ORDER BY, LIMIT, RETURNING or OUTPUT.
std::optional<ChangedTable> ReturnableStatement(const std::string& sql,
                                                const std::vector<com::Variant>& params);

// The rows an INSERT ... VALUES (...), (...) of bound parameters writes, as columns and values.
struct InsertedRows {
    std::string table;
    std::vector<std::string> columns;
    std::vector<detail::RowValues> rows;
};
std::optional<InsertedRows> RowsInsertedBy(const std::string& sql,
                                           const std::vector<com::Variant>& params);

// The statement's first word, upper case ("UPDATE", "SELECT" ...).
std::string LeadingKeyword(const std::string& sql);

}  // namespace ado
