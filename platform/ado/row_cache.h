#pragma once
// The rows of a recordset and of its clones, with what is needed to write them back.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ado/backend.h"

namespace ado {
class Recordset;
}

namespace ado::detail {

enum class RowState : uint8_t { Unchanged, Modified, Added };

// Small, as a list holds one per row: the values as read are kept apart only once they change.
struct Row {
    RowValues values;
    std::unique_ptr<RowValues> original;  // none while the row is as read
    uint32_t listPlace = 0;               // where a row with a pending delete stood in the list
    uint32_t changedAs = 0;               // the order of its pending change among the batch's
    RowState state = RowState::Unchanged;

    const com::Variant& Original(size_t column) const {
        return original ? (*original)[column] : values[column];
    }
    // Keeps the values as read before the first change.
    void KeepOriginal() {
        if (!original) original = std::make_unique<RowValues>(values);
    }
    // The row now matches the database.
    void MarkClean() {
        original.reset();
        state = RowState::Unchanged;
    }
};

struct Column : ColumnInfo {
    bool updatable = false;  // a column of the base table
    bool matched = false;    // every update matches its value as read, changed or not
};

struct RowCache {
    std::vector<Column> columns;
    std::unordered_map<std::string, int> byName;  // lower-case name to index
    std::string baseTable;
    int keyIndex = -1;  // the base table's key among the columns; -1: rows cannot be written
    std::vector<std::unique_ptr<Row>> rows;     // the list, in order
    std::vector<std::unique_ptr<Row>> deleted;  // deletes not yet sent (batch mode)
    // The recordset and its clones over these rows; each stays on its own row when a row
    // leaves or re-enters the list through any of them.
    std::vector<Recordset*> cursors;
    // Changes whenever a row enters or leaves the list or a value changes; never the same for
    // two different caches.
    uint64_t version = 0;
    uint32_t changes = 0;  // the pending changes made so far

    void Touch();

    int Find(const std::string& name) const;
    bool HasPendingChanges() const;
};

// The cache of a query's result; for rows that may be written back, the base table and its key
// from the provider's metadata.
std::shared_ptr<RowCache> BuildRowCache(Backend& backend, QueryResult&& result, bool writable);

// A value converted to a column's type (Null for Empty); error 13 for a text that is no number
// in a numeric column, error 6 when out of range.
com::Variant ConvertForColumn(const Column& column, const com::Variant& value);

}  // namespace ado::detail
