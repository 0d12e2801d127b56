#pragma once
// The grid's source object (GridControl.GridSource). The record frame feeds the grid, so the
// source only keeps the settings a window gives it. It holds no reference to the module: the
// module owns the window that owns the grid that owns this object.

#include <string>

#include "contracts/controls.h"
#include "platform/ado/recordset.h"

namespace framework {

class GridSource : public com::ComObject<GridSource, host::IGridSource> {
  public:
    void SetModule(host::Cinterface* module) override { hasModule_ = module != nullptr; }
    void SetRecordset(ado::Recordset* recordset) override { recordset_ = recordset; }
    void SetFilter(const std::string& filter) override { filter_ = filter; }
    void SetLoadMode(int32_t mode) override { loadMode_ = mode; }
    void SetAutoRefresh(bool on) override { autoRefresh_ = on; }

    bool HasModule() const { return hasModule_; }
    ado::Recordset* Recordset() const { return recordset_.Get(); }
    const std::string& Filter() const { return filter_; }
    int32_t LoadMode() const { return loadMode_; }
    bool AutoRefresh() const { return autoRefresh_; }

  private:
    bool hasModule_ = false;
    com::ComPtr<ado::Recordset> recordset_;
    std::string filter_;
    int32_t loadMode_ = 0;
    bool autoRefresh_ = false;
};

}  // namespace framework
