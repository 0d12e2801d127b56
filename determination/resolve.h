#pragma once
// Which counter-account a posting reaches. For a company, a posting type and attribute values,
// the criteria of that company and type are tried in priority order; a criterion answers when one
// of its matrix rows holds, for each attribute of its structure in order, the value given for
// that attribute (MGA1_VALORE01 for the first, and so on). The first that answers gives its
// MGA1_CONTO; when none does, there is no counter-account.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "determination/criteria_data.h"

namespace determination {

// Attribute code -> value.
using AttributeValues = std::map<std::string, std::string>;

struct Step {
    enum class Outcome {
        Answered,      // a matrix row holds the values
        NoRow,         // no matrix row holds them
        MissingValue,  // no value was given for an attribute of the structure
    };
    Criterion criterion;
    // The structure's attributes with the value looked for (none when not given).
    std::vector<std::pair<std::string, std::optional<std::string>>> lookedFor;
    Outcome outcome = Outcome::NoRow;
    std::optional<std::string> account;  // the answering row's MGA1_CONTO
};

struct Walk {
    int32_t company = 0;
    int32_t type = 0;
    AttributeValues values;
    std::vector<Step> steps;  // up to the criterion that answered, if any

    // The step that answered, or nullptr.
    const Step* Answer() const;
    // The counter-account found: the answering row's account when it holds one.
    std::optional<std::string> Account() const;
};

Walk Resolve(ado::Connection& connection, int32_t company, int32_t type,
             const AttributeValues& values);

}  // namespace determination
