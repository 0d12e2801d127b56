#include "platform/ado/transaction.h"

#include <utility>

#include "platform/ado/backend.h"

namespace ado {

Transaction::Transaction(Connection& connection, Lock lock) : connection_(&connection) {
    connection_->Backend().Begin(lock == Lock::Immediate);
    open_ = true;
}

Transaction::~Transaction() {
    RollbackQuietly();
}

void Transaction::Commit() {
    try {
        connection_->Backend().Commit();
    } catch (...) {
        RollbackQuietly();  // a commit that failed leaves the transaction open
        throw;
    }
    open_ = false;
}

// The failure that ends the work is what its caller reports; a failing rollback would hide it
// (and the database drops an unfinished transaction by itself when the connection closes).
void Transaction::RollbackQuietly() noexcept {
    if (!std::exchange(open_, false)) return;
    try {
        connection_->Backend().Rollback();
    } catch (...) {
    }
}

}  // namespace ado
