#pragma once
// Host services a module calls: layout and script models, log, media link, menu entry,
// connection and recordset suppliers. Members throw com::ComError on failure.

#include <string>

#include "platform/ado/connection.h"
#include "platform/ado/recordset.h"
#include "platform/com/com_error.h"
#include "platform/com/variant.h"

namespace host {

struct ILayoutModel : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B20");
    virtual com::ComPtr<com::IUnknown> RegisterWindowLayout(const com::Variant& title,
                                                            com::IUnknown* window, int32_t a,
                                                            int32_t b, int32_t c) = 0;
    virtual com::ComPtr<com::IUnknown> RegisterGridLayout(const com::Variant& title,
                                                          com::IUnknown* grid) = 0;

  protected:
    ~ILayoutModel() = default;
};

// Script object kinds.
namespace script_kind {
inline constexpr int32_t Window = 0;
inline constexpr int32_t RecordFrame = 3;
}  // namespace script_kind

struct IScriptModel : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B21");
    virtual com::ComPtr<com::IUnknown> AddScriptObject(const std::string& name,
                                                       com::IUnknown* object, int32_t kind,
                                                       const std::string& name2) = 0;
    virtual com::Variant ScriptOpenNotice(const std::string& windowName, int32_t a, int32_t b,
                                          const com::Variant& name) = 0;
    virtual com::Variant ScriptCloseNotice(const com::Variant& menuEntryKey) = 0;

  protected:
    ~IScriptModel() = default;
};

// The log service: failures of a window's lifecycle and messages shown on its behalf.
struct ILogService : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B22");
    virtual void CaptureError(const com::ComError& error) = 0;
    virtual com::Variant ReportError(const com::Variant& code, const std::string& source,
                                     const std::string& procedure) = 0;
    virtual int32_t LogMessageBox(std::string& text, int32_t& flags, const std::string& title,
                                  int32_t a, int32_t b) = 0;

  protected:
    ~ILogService() = default;
};

// The multimedia link of a record.
struct IMediaLink : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B23");
    virtual com::Variant OpenMediaLink(const com::Variant& hostValue1,
                                       const com::Variant& hostValue2,
                                       const com::Variant& connectionString,
                                       const com::Variant& mediaId,
                                       const com::Variant& parentWindow, int32_t a, int32_t b) = 0;

  protected:
    ~IMediaLink() = default;
};

// The menu entry that opened a module.
struct IMenuEntry : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B24");
    virtual com::Variant MenuEntryKey() = 0;

  protected:
    ~IMenuEntry() = default;
};

// Supplies the connection object a window works with.
struct IConnectionSupplier : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B25");
    virtual com::ComPtr<ado::Connection> NewConnection() = 0;

  protected:
    ~IConnectionSupplier() = default;
};

// Supplies recordset objects set up for client-side, batch-updatable use.
struct IRecordsetSupplier : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B26");
    virtual com::ComPtr<ado::Recordset> NewRecordset() = 0;

  protected:
    ~IRecordsetSupplier() = default;
};

}  // namespace host
