#pragma once
// The history of changes to criteria and matrix rows: the host's table HOST_STORICO, one record
// per user action, written in the action's own transaction and never changed afterwards.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ado/connection.h"

namespace db {

// Actions, as stored in STORICO_AZIONE.
inline constexpr const char* kActionNew = "nuovo";        // a row saved for the first time
inline constexpr const char* kActionChange = "modifica";  // a row saved with other values
inline constexpr const char* kActionDelete = "elimina";   // a row deleted
inline constexpr const char* kActionMove = "sposta";      // a criterion moved up or down
inline constexpr const char* kActionImport = "importa";   // a CSV file imported into the matrix

struct HistoryRecord {
    int64_t id = 0;       // given by the database; read back only
    std::string when;     // UTC, "YYYY-MM-DD HH:MM:SS.mmm"; read back only (see WriteHistory)
    std::string user;     // SQLite: the effective user's login name; ignored on a server
    std::string program;  // "dravel-host", "dravel", "dravel script FILE"
    int32_t company = 0;
    std::string action;                // one of the kAction... codes
    std::string table;                 // MGA0_QUINTAB or MGA1_MATRCPAR
    std::optional<int32_t> key;        // the row's key; none for an import
    std::optional<int32_t> criterion;  // the criterion the row is, or belongs to
    // A JSON object saying what changed:
    //   "changed":    {"COLUMN": [before, after], ...}  the columns a save changed (before null
    //                                                     for a new row)
    //   "row":        {"COLUMN": value, ...}            a deleted row, whole
    //   "taken":      [{"table": T, "row": {...}}, ...] rows deleted with it
    //   "renumbered": [{"type": N, "count": N}, ...]    priorities rewritten around the action
    //   "added", "removed": [{"COLUMN": value, ...}]    an import's rows, whole
    //   "modified":   [{"key": N, "changed": {...}}]    an import's rows given another account
    std::string detail;
};

// Inserts `record` in the connection's transaction. On a server the time is the server's clock
// and the user the database user (record.user is not used); on SQLite the time is this
// program's clock.
void WriteHistory(ado::Connection& connection, const HistoryRecord& record);

// Whether `day` is a day of the calendar written "YYYY-MM-DD".
bool IsHistoryDay(std::string_view day);

struct HistoryFilter {
    int32_t company = 0;
    std::optional<int32_t> criterion;  // the records of that criterion and of its matrix rows
    std::optional<std::string> since;  // "YYYY-MM-DD", UTC: records of that day and after
    std::optional<int64_t> limit;      // at most that many
};

// Calls `each` with the records `filter` selects, newest first, as they are read (never all of
// them held at once). A `since` that is not a day is refused (error 380) before any reading.
void ReadHistory(ado::Connection& connection, const HistoryFilter& filter,
                 const std::function<void(const HistoryRecord&)>& each);

}  // namespace db
