#pragma once
// Adding and changing the host's companies (HOST_DITTE rows): the tool's company commands and the
// session scripts' `company`.

#include <optional>
#include <string>

#include "platform/ado/connection.h"

namespace framework {

// The settings to write; those left out keep their value (a new company's are Null).
struct CompanySettings {
    std::optional<std::string> name;
    std::optional<com::Variant> accountTypes;      // an integer, or Null
    std::optional<com::Variant> itemClassNesting;  // an integer, or Null
};

bool CompanyExists(ado::Connection& connection, int32_t code);

// Adds company `code` with the settings given (its name among them); refused, error 35602, when
// the company exists.
void AddCompany(ado::Connection& connection, int32_t code, const CompanySettings& settings);

// Writes the settings given of company `code`; refused, error 3021, when there is none.
void ChangeCompany(ado::Connection& connection, int32_t code, const CompanySettings& settings);

}  // namespace framework
