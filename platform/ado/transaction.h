#pragma once
// One unit of work on a connection: begun when constructed, rolled back when destroyed unless it
// was committed. Inside another unit of work on the same connection it is a savepoint, so code
// that needs its own transaction can run inside a caller's.

#include "platform/ado/connection.h"

namespace ado {

class Transaction {
  public:
    enum class Lock {
        // The database's write lock is taken at once (SQLite: BEGIN IMMEDIATE): a unit of work
        // that must wait for another writer waits before its first statement, not half-way.
        Immediate,
        // The lock is taken by the first statement that writes.
        Deferred,
    };

    explicit Transaction(Connection& connection, Lock lock = Lock::Immediate);
    ~Transaction();  // rolls back when still open; never throws
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Makes the work permanent. A commit that fails rolls back and throws.
    void Commit();

  private:
    void RollbackQuietly() noexcept;

    com::ComPtr<Connection> connection_;
    bool open_ = false;
};

}  // namespace ado
