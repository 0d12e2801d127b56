#include "framework/company_table.h"

#include "framework/text_service.h"
#include "platform/ado/recordset.h"

namespace framework {

bool CompanyExists(ado::Connection& connection, int32_t code) {
    return !connection
                .ExecuteWith("SELECT 1 FROM HOST_DITTE WHERE DITTA_CODICE = ?",
                             {com::Variant(code)})
                ->Eof();
}

void AddCompany(ado::Connection& connection, int32_t code, const CompanySettings& settings) {
    if (CompanyExists(connection, code))
        throw com::ComError(com::err::KeyNotUnique,
                            Translated("La ditta %1 esiste già: nulla è stato modificato.",
                                       {std::to_string(code)}));
    connection.ExecuteWith(
        "INSERT INTO HOST_DITTE (DITTA_CODICE, DITTA_RAGSOC, DITTA_PARAMTIPICONTO, "
        "DITTA_ANNIDACLASSI) VALUES (?, ?, ?, ?)",
        {com::Variant(code), com::Variant(settings.name.value_or("")),
         settings.accountTypes.value_or(com::Variant::Null()),
         settings.itemClassNesting.value_or(com::Variant::Null())});
}

void ChangeCompany(ado::Connection& connection, int32_t code, const CompanySettings& settings) {
    std::string columns;
    std::vector<com::Variant> values;
    auto set = [&](const char* column, const std::optional<com::Variant>& value) {
        if (!value) return;
        columns += std::string(columns.empty() ? "" : ", ") + column + " = ?";
        values.push_back(*value);
    };
    if (settings.name) set("DITTA_RAGSOC", com::Variant(*settings.name));
    set("DITTA_PARAMTIPICONTO", settings.accountTypes);
    set("DITTA_ANNIDACLASSI", settings.itemClassNesting);
    int32_t changed = 0;
    if (!columns.empty()) {
        values.push_back(com::Variant(code));
        connection.ExecuteWith("UPDATE HOST_DITTE SET " + columns + " WHERE DITTA_CODICE = ?",
                               values, &changed);
    }
    if (columns.empty() ? !CompanyExists(connection, code) : changed == 0)
        throw com::ComError(com::err::NoCurrentRecord,
                            Translated("La ditta %1 non esiste: nulla è stato modificato.",
                                       {std::to_string(code)}));
}

}  // namespace framework
