#pragma once
// The history record of one action, made from the criteria and matrix rows it changed.

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "db/history.h"
#include "platform/com/variant.h"

namespace framework::history {

using Values = std::map<std::string, com::Variant>;  // column (upper case) -> value

// The two tables a record speaks of.
struct Table {
    const char* name;
    const char* key;
    const char* company;
    const char* criterion;  // the column holding the row's criterion
};
inline constexpr Table kCriteria{"MGA0_QUINTAB", "MGA0_ID", "MGA0_DITTA_CG18", "MGA0_ID"};
inline constexpr const char* kCriterionType = "MGA0_FLGRESO";
inline constexpr Table kMatrix{"MGA1_MATRCPAR", "MGA1_ID", "MGA1_DITTA_CG18", "MGA1_ID_MGA0"};
// The table of that name (any case), nullptr for another.
const Table* TableNamed(const std::string& name);

// A row the action changed.
struct Touched {
    const Table* table = nullptr;
    std::optional<Values> before;  // none: the action inserted it
    Values after;                  // as it stands before the commit
    bool deleted = false;
    // Renumbered by a statement, which returned only its key and type (`before` holds them till a
    // recordset writes it back); not read again before the commit.
    bool renumbered = false;
    int written = 0;  // the order of its last write-back by a recordset; 0: by statements only
    // `after` is the row as it stands: written back since any statement touched it, so that it
    // needs no read before the commit.
    bool current = false;
};
using TouchedRows = std::map<std::pair<const Table*, int32_t>, Touched>;

// The record of an action: the row a recordset wrote last is the action's own (a move writes
// two rows: the moved one last); without one, matrix rows changed by statements are an import.
// Criteria whose only change came from statements, or from a move's other row, are priorities
// renumbered. None when nothing changed. `user` and `program` are left to the caller.
std::optional<db::HistoryRecord> RecordOf(const TouchedRows& rows,
                                          const std::vector<Values>& inserted);

}  // namespace framework::history
