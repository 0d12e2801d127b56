#pragma once
// Sending a row's pending change to its base table with bound parameters. Nothing here changes
// the cache: the caller adopts the outcome once the change is committed.

#include <optional>

#include "platform/ado/connection.h"
#include "platform/ado/row_cache.h"

namespace ado::detail {

// In the order of ado::RowChange.
enum class Change { Insert, Update, Delete };

// Sends one change. An update or delete that matches no row is a conflict (error 3197 naming
// the table and the key). For an insert, returns the row as the database now holds it (its
// generated key included).
std::optional<RowValues> SendChange(Connection& connection, const RowCache& cache, const Row& row,
                                    Change change);

// The value the database holds now for a column of a row (Null when the row is not there).
com::Variant ReadUnderlying(Backend& backend, const RowCache& cache, const Row& row, int column);

// Error 3219 unless the cache's rows can be written back.
void RequireWritable(const RowCache& cache);

}  // namespace ado::detail
