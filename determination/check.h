#pragma once
// What in a company's criteria can never work or never be reached.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "determination/criteria_data.h"

namespace determination {

struct Finding {
    enum class Kind {
        UnreachableRow,    // a criterion tried earlier always answers for this row's values
        NoRows,            // the criterion has no matrix rows: it never answers
        SameStructure,     // an earlier criterion of the type has the same structure
        OrphanRow,         // the row's criterion is gone or belongs to another company
        PriorityNotDense,  // the priorities of the type are not 1..n
        // The row holds no value for an attribute of its criterion's structure, or a value in a
        // column past the structure's attributes: it does not answer as its values read.
        OffStructure,
    };
    Kind kind;
    // The criterion concerned; for an orphan row, the other company's criterion, if any.
    std::optional<Criterion> criterion;
    // The criterion that answers first (UnreachableRow) or has the structure (SameStructure).
    std::optional<Criterion> earlier;
    int32_t row = 0;               // MGA1_ID of the matrix row (UnreachableRow, OrphanRow)
    int32_t rowCriterion = 0;      // its MGA1_ID_MGA0 (OrphanRow)
    int32_t expectedPriority = 0;  // PriorityNotDense: the place it is tried at
    // The row's values of its criterion's attributes and its account ("" for Null), by which a
    // user knows it (UnreachableRow, OffStructure).
    std::vector<std::string> values = {};
    std::string account = {};
    std::vector<std::string> missing = {};  // OffStructure: the attributes with no value
    size_t valueBeyond = 0;  // OffStructure: the last value column (1..10) past the structure
};

// The findings by posting type, in the order the criteria are tried; orphan rows last.
std::vector<Finding> Check(ado::Connection& connection, int32_t company);
// The same, each handed to `found` as it is found, so that none needs to be held.
void Check(ado::Connection& connection, int32_t company,
           const std::function<void(const Finding&)>& found);

}  // namespace determination
