#pragma once
// The history's records (db/history.h) as text a person reads, in the current language, as
// `dravel history` prints them.

#include <string>
#include <vector>

#include "db/history.h"

namespace framework {

// One line: when (UTC), who, the program, the action, the table and key, the criterion.
std::string HistoryHeadline(const db::HistoryRecord& record);

// The record's detail, a line for each thing it says: a changed column `COLUMN: before → after`,
// a deleted row, the rows taken with it, the priorities renumbered, an import's counts and rows.
// A detail that is not the JSON object expected is shown as it is, on one line.
std::vector<std::string> HistoryDetailLines(const std::string& detail);

}  // namespace framework
