#pragma once
// A company (ditta) of the host and its settings, as stored in HOST_DITTE.

#include <string>
#include <vector>

#include "contracts/host_global.h"
#include "platform/ado/connection.h"

namespace framework {

class CompanyOptions : public com::ComObject<CompanyOptions, host::ICompanyOptions> {
  public:
    com::Variant ItemClassNesting() override { return itemClassNesting_; }

  private:
    friend class Company;
    explicit CompanyOptions(com::Variant itemClassNesting)
        : itemClassNesting_(std::move(itemClassNesting)) {}
    com::Variant itemClassNesting_;
};

// The values of one HOST_DITTE row, read when the company is loaded.
class Company : public com::ComObject<Company, host::ICompany> {
  public:
    // Reads the company `code`; error 3021 when HOST_DITTE has no such row.
    static com::ComPtr<Company> Load(ado::Connection& connection, int32_t code);

    // A 32-bit integer.
    com::Variant CompanyCode() override { return code_; }
    // The column's value; Null when the company has none.
    com::Variant AccountTypesParameter() override { return accountTypes_; }
    com::ComPtr<host::ICompanyOptions> CompanyOptions() override { return options_; }

    int32_t Code() const { return code_; }
    const std::string& Name() const { return name_; }

  private:
    Company() = default;

    int32_t code_ = 0;
    std::string name_;
    com::Variant accountTypes_;
    com::ComPtr<framework::CompanyOptions> options_;
};

struct CompanyListEntry {
    int32_t code;
    std::string name;
    com::Variant accountTypes;      // DITTA_PARAMTIPICONTO
    com::Variant itemClassNesting;  // DITTA_ANNIDACLASSI
};

// Every company of HOST_DITTE in code order.
std::vector<CompanyListEntry> ListCompanies(ado::Connection& connection);

}  // namespace framework
