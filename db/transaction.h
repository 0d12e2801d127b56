#pragma once
// Runs work in one transaction: committed when it returns, rolled back when it throws.

#include "platform/ado/connection.h"

namespace db {

template <class F>
void InTransaction(ado::Connection& connection, F&& work) {
    connection.BeginTrans();
    try {
        work();
        // Inside: a commit that fails (a deferred constraint) leaves the transaction open.
        connection.CommitTrans();
    } catch (...) {
        // The failure of the work is what the caller must see; a rollback failure would hide it.
        try {
            connection.RollbackTrans();
        } catch (...) {
        }
        throw;
    }
}

}  // namespace db
