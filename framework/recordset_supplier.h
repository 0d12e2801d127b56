#pragma once
// Supplies recordsets set up for client-side editing: positioned by row number, requeried, and
// written back in one batch.

#include "contracts/models.h"

namespace framework {

class RecordsetSupplier : public com::ComObject<RecordsetSupplier, host::IRecordsetSupplier> {
  public:
    static com::ComPtr<RecordsetSupplier> Create() {
        return com::ComPtr<RecordsetSupplier>(new RecordsetSupplier());
    }
    // A new, closed recordset with a static cursor and batch optimistic locking.
    com::ComPtr<ado::Recordset> NewRecordset() override {
        auto rs = ado::Recordset::Create();
        rs->SetCursorType(ado::adOpenStatic);
        rs->SetLockType(ado::adLockBatchOptimistic);
        return rs;
    }

  private:
    RecordsetSupplier() = default;
};

}  // namespace framework
