#include "framework/company.h"

#include "platform/ado/recordset.h"

namespace framework {

com::ComPtr<Company> Company::Load(ado::Connection& connection, int32_t code) {
    auto rs = connection.ExecuteWith(
        "SELECT DITTA_CODICE, DITTA_RAGSOC, DITTA_PARAMTIPICONTO, DITTA_ANNIDACLASSI"
        " FROM HOST_DITTE WHERE DITTA_CODICE = ?",
        {com::Variant(code)});
    if (rs->Eof())
        throw com::ComError(com::err::NoCurrentRecord,
                            "No company " + std::to_string(code) + " in HOST_DITTE", "HostGlobal");
    auto company = com::ComPtr<Company>(new Company());
    company->code_ = rs->Fields("DITTA_CODICE").Value().ToLong();
    auto name = rs->Fields("DITTA_RAGSOC").Value();
    company->name_ = name.IsNull() ? std::string() : name.ToText();
    company->accountTypes_ = rs->Fields("DITTA_PARAMTIPICONTO").Value();
    company->options_ = com::ComPtr<framework::CompanyOptions>(
        new framework::CompanyOptions(rs->Fields("DITTA_ANNIDACLASSI").Value()));
    return company;
}

std::vector<CompanyListEntry> ListCompanies(ado::Connection& connection) {
    std::vector<CompanyListEntry> list;
    auto rs = connection.Execute(
        "SELECT DITTA_CODICE, DITTA_RAGSOC, DITTA_PARAMTIPICONTO, DITTA_ANNIDACLASSI"
        " FROM HOST_DITTE ORDER BY DITTA_CODICE");
    for (; !rs->Eof(); rs->MoveNext()) {
        auto name = rs->Fields("DITTA_RAGSOC").Value();
        list.push_back({rs->Fields("DITTA_CODICE").Value().ToLong(),
                        name.IsNull() ? std::string() : name.ToText(),
                        rs->Fields("DITTA_PARAMTIPICONTO").Value(),
                        rs->Fields("DITTA_ANNIDACLASSI").Value()});
    }
    return list;
}

}  // namespace framework
