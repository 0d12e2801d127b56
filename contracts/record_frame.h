#pragma once
// The host's record frame: navigation and editing of one recordset through bound controls.
// Members throw com::ComError; event sinks return a status.

#include <string>

#include "contracts/cinterface.h"
#include "contracts/controls.h"
#include "platform/ado/connection.h"
#include "platform/ado/recordset.h"

namespace host {

// Frame status values.
namespace frame_status {
inline constexpr int32_t Existing = 0;
inline constexpr int32_t Empty = 1;
inline constexpr int32_t New = 2;
}  // namespace frame_status

// Operation results passed to the after-events.
inline constexpr int32_t kOperationSucceeded = -1;
inline constexpr int32_t kOperationFailed = 0;

struct IRecordFrame : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B30");

    virtual int32_t CurrentRow() = 0;
    virtual int32_t RowCount() = 0;
    virtual com::ComPtr<ado::Recordset> Recordset() = 0;
    virtual void SetProgramMode(int32_t mode) = 0;
    virtual int32_t Status() = 0;
    virtual bool Modified() = 0;
    virtual void SetModified(bool modified) = 0;
    virtual void InitFrame(Cinterface* module, ado::Connection* connection,
                           ado::Recordset* recordset, const std::string& sql,
                           const std::string& descriptionColumn, INavBar* navBar,
                           IGridControl* grid) = 0;
    virtual void AttachSource(const std::string& sql) = 0;
    virtual void DetachSource() = 0;
    virtual void AddExtraControl(IBoundControl* control) = 0;
    virtual void BindControl(IBoundControl* control, com::IUnknown* companion) = 0;
    virtual bool RefreshRow(bool a, bool b) = 0;
    virtual bool SaveRecord(bool a, bool b, bool c) = 0;
    virtual bool MovePrevious(bool a, bool b) = 0;
    virtual bool MoveNext(bool a, bool b) = 0;
    virtual void BeginDirectChange() = 0;
    virtual void EndDirectChange() = 0;
    virtual void NotifyModified() = 0;
    virtual void Update() = 0;

  protected:
    ~IRecordFrame() = default;
};

struct IRecordFrameEvents : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B31");
    virtual HRESULT AfterDelete(int32_t operationResult) noexcept = 0;
    virtual HRESULT AfterUndo(int32_t operationResult) noexcept = 0;
    virtual HRESULT AfterUpdate(int32_t operationResult) noexcept = 0;
    virtual HRESULT BeforeDelete(VARIANT_BOOL& cancel) noexcept = 0;
    virtual HRESULT BeforeUpdate(VARIANT_BOOL& cancel) noexcept = 0;
    virtual HRESULT AfterAddNew(int32_t operationResult) noexcept = 0;
    virtual HRESULT AfterMove(int32_t operationResult, int32_t reason) noexcept = 0;
    virtual HRESULT ChangeStatus(int32_t status, int32_t reason) noexcept = 0;
    // `control` is the bound control being validated (late-bound: DBField, Text); may be unset.
    virtual HRESULT ValidateRecord(com::IUnknown*& control,
                                   std::string& personalizedMessage) noexcept = 0;

  protected:
    ~IRecordFrameEvents() = default;
};

}  // namespace host
