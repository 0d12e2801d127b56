#pragma once
// The host's global object: the modules the user works in, the active company, the database,
// the context and the text service.

#include "contracts/host_global.h"
#include "framework/company.h"
#include "framework/database_info.h"
#include "framework/host_context.h"
#include "framework/text_service.h"

namespace framework {

class GlobalObject : public com::ComObject<GlobalObject, host::IGlobal> {
  public:
    static com::ComPtr<GlobalObject> Create(std::string connectionString,
                                            com::ComPtr<framework::TextService> texts = nullptr);

    com::ComPtr<host::Cinterface> ActiveModule() override { return activeModule_; }
    void SetActiveModule(host::Cinterface* module) override { activeModule_ = module; }
    com::ComPtr<host::Cinterface> SecondModule() override { return secondModule_; }
    void SetSecondModule(host::Cinterface* module) override { secondModule_ = module; }
    // Forgets the module where it is the active or the second one; the caller's reference stays.
    void CloseModule(com::ComPtr<host::Cinterface>& module) override;
    // Error 91 until a company is chosen.
    com::ComPtr<host::ICompany> ActiveCompany() override;
    com::ComPtr<host::IDatabaseInfo> DatabaseInfo() override { return databaseInfo_; }
    com::ComPtr<host::IHostContext> HostContext() override { return context_; }
    com::ComPtr<host::ITextService> TextService() override { return texts_; }

    // Makes `company` the active one (and its code the context's HostValue2).
    void SetActiveCompany(com::ComPtr<Company> company);
    framework::TextService& Texts() const { return *texts_; }

  private:
    GlobalObject() = default;

    com::ComPtr<host::Cinterface> activeModule_, secondModule_;
    com::ComPtr<Company> company_;
    com::ComPtr<framework::DatabaseInfo> databaseInfo_;
    com::ComPtr<framework::HostContext> context_;
    com::ComPtr<framework::TextService> texts_;
};

}  // namespace framework
