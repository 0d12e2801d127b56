#include "framework/global_object.h"

namespace framework {

com::ComPtr<GlobalObject> GlobalObject::Create(std::string connectionString,
                                               com::ComPtr<framework::TextService> texts) {
    auto g = com::ComPtr<GlobalObject>(new GlobalObject());
    g->databaseInfo_ = framework::DatabaseInfo::Create(std::move(connectionString));
    g->context_ = framework::HostContext::Create();
    g->texts_ = texts ? std::move(texts) : framework::TextService::Create();
    return g;
}

void GlobalObject::CloseModule(com::ComPtr<host::Cinterface>& module) {
    if (!module) return;
    if (com::SameObject(activeModule_.Get(), module.Get())) activeModule_ = nullptr;
    if (com::SameObject(secondModule_.Get(), module.Get())) secondModule_ = nullptr;
}

com::ComPtr<host::ICompany> GlobalObject::ActiveCompany() {
    if (!company_)
        throw com::ComError(com::err::ObjectNotSet, "No company is active", "HostGlobal");
    return company_;
}

void GlobalObject::SetActiveCompany(com::ComPtr<Company> company) {
    company_ = std::move(company);
    context_->SetCompanyCode(company_ ? company_->CompanyCode() : com::Variant());
}

}  // namespace framework
