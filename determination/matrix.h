#pragma once
// The counter-account matrix rows of one criterion (MGA1_MATRCPAR) as the host keeps them: what
// a row must hold, which rows already hold a set of values, and reading them. The window, the
// import and the check all ask here, so that they refuse and name rows alike.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "determination/criteria_data.h"

namespace determination {

inline constexpr size_t kValueWidth = 40;    // characters of MGA1_VALORE01 .. MGA1_VALORE10
inline constexpr size_t kAccountWidth = 20;  // characters of MGA1_CONTO

struct MatrixRow {
    int32_t id = 0;                   // MGA1_ID; 0 for a row not written yet
    std::vector<std::string> values;  // the structure's attributes' values, in order
    std::string account;              // MGA1_CONTO ("" for Null)
};

// "Cliente": the attribute's caption from the catalogue in the user's language, or its code when
// the catalogue has none.
std::string AttributeLabel(const std::string& code, const Translate& translate);

// A value or an account as it is kept: without blanks (spaces, tabs) at either end.
std::string KeptText(std::string_view typed);

// The company's criterion with the key `id`: error 3021 naming both when it has none.
Criterion CriterionOf(ado::Connection& connection, int32_t company, int32_t id,
                      const Translate& translate);

// The company's criteria in the order they are tried, each with its number of matrix rows.
struct CriterionRows {
    Criterion criterion;
    int64_t rows = 0;
};
std::vector<CriterionRows> CriteriaWithRowCounts(ado::Connection& connection, int32_t company);

// The criterion's rows by key: the values of its structure's attributes (Null read as "") and
// the account.
std::vector<MatrixRow> LoadRows(ado::Connection& connection, const Criterion& criterion);
// The SELECT that LoadRows runs, with the company and the criterion as its two parameters: the
// key, the structure's value columns in order, the account.
std::string RowsQuery(const Criterion& criterion);

// Why a row cannot be kept.
struct RowFault {
    enum class Kind {
        MissingValue,    // an attribute of the structure has no value
        ValueTooLong,    // a value is wider than its column
        MissingAccount,  // no account
        AccountTooLong,  // the account is wider than its column
    };
    Kind kind;
    size_t attribute = 0;  // the value's place in the structure, from 0 (value faults)
};
// Every fault of the row, in field order, its texts taken as kept (KeptText). A row needs one
// value per attribute of the criterion's structure; `row.values` may be shorter.
std::vector<RowFault> RowFaults(const Criterion& criterion, const MatrixRow& row);
// The fault as the user reads it, in Italian passed through `translate`.
std::string RowFaultText(const RowFault& fault, const Criterion& criterion,
                         const Translate& translate);

// The keys of the criterion's rows other than `except` whose values equal `values` once both
// are trimmed (letter case counts, as the determination compares), smallest first.
std::vector<int32_t> RowsHolding(ado::Connection& connection, const Criterion& criterion,
                                 const std::vector<std::string>& values, int32_t except = 0);

// "INDC=C00012 CODA=VITI-M6": the row's values named by their attributes, quoted printable.
std::string ValuesText(const Criterion& criterion, const std::vector<std::string>& values);
// "La riga 12 (INDC=C00012 CODA=VITI-M6) ha già questi valori": the refusal of a row whose values
// the row `holder` already holds (a second one could never be reached).
std::string SameValuesText(const Criterion& criterion, const MatrixRow& holder,
                           const Translate& translate);

}  // namespace determination
