#pragma once
// The host's global object and what hangs on it: company, database, context, texts.
// These members throw com::ComError on failure.

#include <string>

#include "contracts/cinterface.h"

namespace host {

struct ICompanyOptions : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B01");
    // 1 links the item classification levels into one chain.
    virtual com::Variant ItemClassNesting() = 0;

  protected:
    ~ICompanyOptions() = default;
};

struct ICompany : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B02");
    virtual com::Variant CompanyCode() = 0;
    virtual com::Variant AccountTypesParameter() = 0;
    virtual com::ComPtr<ICompanyOptions> CompanyOptions() = 0;

  protected:
    ~ICompany() = default;
};

struct IDatabaseInfo : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B03");
    virtual std::string ConnectionString() = 0;

  protected:
    ~IDatabaseInfo() = default;
};

struct IHostContext : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B04");
    virtual com::Variant HostValue1() = 0;
    virtual com::Variant HostValue2() = 0;

  protected:
    ~IHostContext() = default;
};

struct ITextService : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B05");
    // The display form of a source text (unchanged where the catalogue has none).
    virtual std::string TranslateText(std::string& text) = 0;
    // Shows a message through the host's message service; returns the answer (1 OK, 6 Yes, 7 No).
    virtual int32_t TextMessageBox(const std::string& text, int32_t flags, const std::string& title,
                                   com::IUnknown* owner) = 0;

  protected:
    ~ITextService() = default;
};

struct IGlobal : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B06");
    virtual com::ComPtr<Cinterface> ActiveModule() = 0;
    virtual void SetActiveModule(Cinterface* module) = 0;
    virtual com::ComPtr<Cinterface> SecondModule() = 0;
    virtual void SetSecondModule(Cinterface* module) = 0;
    virtual void CloseModule(com::ComPtr<Cinterface>& module) = 0;
    virtual com::ComPtr<ICompany> ActiveCompany() = 0;
    virtual com::ComPtr<IDatabaseInfo> DatabaseInfo() = 0;
    virtual com::ComPtr<IHostContext> HostContext() = 0;
    virtual com::ComPtr<ITextService> TextService() = 0;

  protected:
    ~IGlobal() = default;
};

}  // namespace host
