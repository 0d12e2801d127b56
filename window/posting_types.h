#pragma once
// The posting types stored in MGA0_FLGRESO, with the combo's label and the grid's short label.

#include <cstdint>

#include "platform/com/variant.h"

namespace dravel {

struct PostingType {
    int32_t code;
    const char* label;
    const char* shortLabel;
    bool alwaysOffered;  // otherwise only for companies that keep the account types
};

inline constexpr PostingType kPostingTypes[] = {
    {0, "Documenti Vendite / Acquisti", "Ven/Acq", true},
    {1, "Documenti Resi", "Reso", true},
    {4, "Rimanenze finali Economiche", "Rim.Econom.", true},
    {5, "Rimanenze finali Patrimoniali", "Rim.Patrim.", true},
    {6, "Conto magazzino", "Magazzino", false},
    {7, "Conto diff. prezzo materiali", "Diff. pr. mat.", false},
    {8, "Conto costo venduto", "Costo vend.", false},
};

// The type with this code, or nullptr.
constexpr const PostingType* FindPostingType(int32_t code) {
    for (const auto& t : kPostingTypes)
        if (t.code == code) return &t;
    return nullptr;
}

// Whether a company with this account-types parameter (1 or 4) is offered all seven types.
inline bool KeepsAccountTypes(const com::Variant& parameter) {
    return com::Variant::Equal(parameter, com::Variant(int32_t{1})) ||
           com::Variant::Equal(parameter, com::Variant(int32_t{4}));
}

}  // namespace dravel
