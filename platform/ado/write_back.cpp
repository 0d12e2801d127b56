#include "platform/ado/write_back.h"

#include "platform/com/com_error.h"

namespace ado::detail {

namespace {

std::string Quoted(const std::string& name) {
    std::string q = "\"";
    for (char c : name) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

const Column& Key(const RowCache& cache) {
    return cache.columns[cache.keyIndex];
}

std::string KeyCondition(const RowCache& cache) {
    return Quoted(Key(cache).baseColumn) + " IS ?";
}

[[noreturn]] void Conflict(const RowCache& cache, const Row& row) {
    throw com::ComError(com::err::RowConflict,
                        "Row conflict in " + cache.baseTable + ": the row with " +
                            Key(cache).baseColumn + " = " + row.Original(cache.keyIndex).Debug() +
                            " was changed or deleted by another user since it was read; "
                            "nothing was written");
}

void SendUpdate(Backend& backend, const RowCache& cache, const Row& row) {
    std::string set;
    std::string where = KeyCondition(cache);
    std::vector<com::Variant> newValues;
    std::vector<com::Variant> params{row.Original(cache.keyIndex)};
    for (size_t c = 0; c < cache.columns.size(); ++c) {
        if (!cache.columns[c].updatable || row.values[c] == row.Original(c)) continue;
        std::string name = Quoted(cache.columns[c].baseColumn);
        set += (set.empty() ? "" : ", ") + name + " = ?";
        newValues.push_back(row.values[c]);
        // Matching the values as read finds a row that someone else changed meanwhile.
        where += " AND " + name + " IS ?";
        params.push_back(row.Original(c));
    }
    if (set.empty()) return;
    newValues.insert(newValues.end(), params.begin(), params.end());
    std::string sql = "UPDATE " + Quoted(cache.baseTable) + " SET " + set + " WHERE " + where;
    if (backend.Execute(sql, newValues) == 0) Conflict(cache, row);
}

void SendDelete(Backend& backend, const RowCache& cache, const Row& row) {
    std::string sql = "DELETE FROM " + Quoted(cache.baseTable) + " WHERE " + KeyCondition(cache);
    if (backend.Execute(sql, {row.Original(cache.keyIndex)}) == 0) Conflict(cache, row);
}

com::Variant KeyValue(int64_t key) {
    if (key >= INT32_MIN && key <= INT32_MAX) return com::Variant(static_cast<int32_t>(key));
    return com::Variant(static_cast<double>(key));
}

RowValues SendInsert(Backend& backend, const RowCache& cache, const Row& row) {
    std::string names;
    std::string marks;
    std::vector<com::Variant> params;
    for (size_t c = 0; c < cache.columns.size(); ++c) {
        // Columns left Null take the database's default (a generated key among them).
        if (!cache.columns[c].updatable || row.values[c].IsNull()) continue;
        names += (names.empty() ? "" : ", ") + Quoted(cache.columns[c].baseColumn);
        marks += (marks.empty() ? "?" : ", ?");
        params.push_back(row.values[c]);
    }
    std::string sql =
        "INSERT INTO " + Quoted(cache.baseTable) +
        (names.empty() ? " DEFAULT VALUES" : " (" + names + ") VALUES (" + marks + ")");
    backend.Execute(sql, params);

    com::Variant key = row.values[cache.keyIndex];
    if (key.IsNull()) key = KeyValue(backend.LastInsertKey());
    RowValues stored = row.values;
    stored[cache.keyIndex] = key;
    std::string select;
    std::vector<int> read;
    for (size_t c = 0; c < cache.columns.size(); ++c) {
        if (!cache.columns[c].updatable) continue;
        select += (select.empty() ? "" : ", ") + Quoted(cache.columns[c].baseColumn);
        read.push_back(static_cast<int>(c));
    }
    QueryResult back = backend.Query(
        "SELECT " + select + " FROM " + Quoted(cache.baseTable) + " WHERE " + KeyCondition(cache),
        {key});
    if (!back.rows.empty())
        for (size_t i = 0; i < read.size(); ++i) stored[read[i]] = back.rows[0][i];
    return stored;
}

}  // namespace

void RequireWritable(const RowCache& cache) {
    if (cache.keyIndex >= 0) return;
    throw com::ComError(com::err::OperationNotAllowed,
                        cache.baseTable.empty()
                            ? std::string("The rows of this query cannot be written back: they "
                                          "come from no table")
                            : "The rows of this query cannot be written back: the key of " +
                                  cache.baseTable + " is not among its columns");
}

std::optional<RowValues> SendChange(Backend& backend, const RowCache& cache, const Row& row,
                                    Change change) {
    RequireWritable(cache);
    switch (change) {
        case Change::Update:
            SendUpdate(backend, cache, row);
            return std::nullopt;
        case Change::Delete:
            SendDelete(backend, cache, row);
            return std::nullopt;
        case Change::Insert:
            return SendInsert(backend, cache, row);
    }
    return std::nullopt;
}

com::Variant ReadUnderlying(Backend& backend, const RowCache& cache, const Row& row, int column) {
    const Column& col = cache.columns[column];
    if (!col.updatable || cache.keyIndex < 0) return row.values[column];
    if (row.state == RowState::Added) return com::Variant::Null();
    QueryResult now = backend.Query("SELECT " + Quoted(col.baseColumn) + " FROM " +
                                        Quoted(cache.baseTable) + " WHERE " + KeyCondition(cache),
                                    {row.Original(cache.keyIndex)});
    return now.rows.empty() ? com::Variant::Null() : now.rows[0][0];
}

}  // namespace ado::detail
