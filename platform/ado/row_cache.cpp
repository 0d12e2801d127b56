#include "platform/ado/row_cache.h"

#include <algorithm>
#include <atomic>

#include "platform/com/com_error.h"
#include "platform/text/text.h"

namespace ado::detail {

namespace {

// An expression column has no declared type: it takes the type of its first value.
void InferUndeclaredTypes(RowCache& cache) {
    for (size_t c = 0; c < cache.columns.size(); ++c) {
        if (cache.columns[c].type != com::VarType::Empty) continue;
        for (const auto& row : cache.rows) {
            if (row->values[c].IsNull()) continue;
            cache.columns[c].type = row->values[c].Type();
            break;
        }
    }
}

// The rows can be written back when the columns come from one table whose single-column key
// is among them.
void FindBaseTable(Backend& backend, RowCache& cache) {
    for (const auto& column : cache.columns) {
        if (column.baseTable.empty()) continue;
        cache.baseTable = column.baseTable;
        break;
    }
    if (cache.baseTable.empty()) return;
    for (auto& column : cache.columns)
        column.updatable = column.baseTable == cache.baseTable && !column.baseColumn.empty();
    std::vector<std::string> key = backend.PrimaryKey(cache.baseTable);
    if (key.size() != 1) return;
    for (size_t c = 0; c < cache.columns.size(); ++c) {
        const Column& column = cache.columns[c];
        if (column.updatable && txt::Lower(column.baseColumn) == txt::Lower(key[0])) {
            cache.keyIndex = static_cast<int>(c);
            return;
        }
    }
}

}  // namespace

void RowCache::Touch() {
    static std::atomic<uint64_t> last{0};
    version = ++last;
}

int RowCache::Find(const std::string& name) const {
    auto it = byName.find(txt::Lower(name));
    return it == byName.end() ? -1 : it->second;
}

bool RowCache::HasPendingChanges() const {
    return !deleted.empty() || std::any_of(rows.begin(), rows.end(), [](const auto& row) {
        return row->state != RowState::Unchanged;
    });
}

std::shared_ptr<RowCache> BuildRowCache(Backend& backend, QueryResult&& result, bool writable) {
    auto cache = std::make_shared<RowCache>();
    cache->columns.reserve(result.columns.size());
    for (auto& info : result.columns) {
        Column column;
        static_cast<ColumnInfo&>(column) = std::move(info);
        // The first of two equal names wins, as a lookup by name finds the first.
        cache->byName.emplace(txt::Lower(column.name), static_cast<int>(cache->columns.size()));
        cache->columns.push_back(std::move(column));
    }
    cache->rows.reserve(result.rows.size());
    for (auto& values : result.rows) {
        auto row = std::make_unique<Row>();
        row->values = std::move(values);
        cache->rows.push_back(std::move(row));
    }
    cache->Touch();
    InferUndeclaredTypes(*cache);
    if (writable) FindBaseTable(backend, *cache);
    return cache;
}

com::Variant ConvertForColumn(const Column& column, const com::Variant& value) {
    if (value.IsEmptyOrNull()) return com::Variant::Null();
    if (value.IsObject() || value.IsArray())
        throw com::ComError(com::err::TypeMismatch,
                            "Column " + column.name + " cannot hold " + value.Debug());
    switch (column.type) {
        case com::VarType::Integer:
        case com::VarType::Long:
        case com::VarType::Double:
        case com::VarType::Boolean: {
            com::Variant number = value;
            if (value.IsText()) {
                auto parsed = com::ParseNumber(value.ToText());
                if (!parsed)
                    throw com::ComError(com::err::TypeMismatch, "Column " + column.name +
                                                                    " expects a number, not \"" +
                                                                    value.ToText() + "\"");
                number = com::Variant(*parsed);
            }
            return number.ConvertTo(column.type);
        }
        case com::VarType::String:
            return com::Variant(value.ToText());
        default:
            return value;
    }
}

}  // namespace ado::detail
