#include "platform/ado/write_back.h"

#include "platform/ado/recordset.h"
#include "platform/ado/transaction.h"
#include "platform/ado/watching_backend.h"

#include "platform/com/com_error.h"
#include "platform/com/placeholders.h"
#include "platform/text/utf8.h"

namespace ado {

com::ComError ChangedByAnotherUser(const std::string& row) {
    return com::ComError(com::err::RowConflict,
                         "Un altro utente ha modificato o eliminato questi dati dopo che sono "
                         "stati letti: nulla è stato salvato.")
        .SetNative(0, row + ": changed or deleted by another user since it was read");
}

}  // namespace ado

namespace ado::detail {

namespace {

const Column& Key(const RowCache& cache) {
    return cache.columns[cache.keyIndex];
}

// The key as the row was read: what identifies it in the base table.
std::string KeyCondition(const RowCache& cache) {
    return Quoted(Key(cache).baseColumn) + " = ?";  // a key is never Null
}

[[noreturn]] void Conflict(const RowCache& cache, const Row& row) {
    throw ChangedByAnotherUser(cache.baseTable + ", " + Key(cache).baseColumn + " = " +
                               row.Original(cache.keyIndex).Debug());
}

// The key and, for each column asked for, the value as it was read: a row that someone else
// changed or deleted meanwhile matches nothing.
std::string AsRead(Backend& backend, const RowCache& cache, const Row& row,
                   const std::vector<size_t>& columns, std::vector<com::Variant>& params) {
    std::string where = KeyCondition(cache);
    params.push_back(row.Original(cache.keyIndex));
    for (size_t c : columns) {
        where += " AND " + backend.SameValue(Quoted(cache.columns[c].baseColumn), row.Original(c));
        params.push_back(row.Original(c));
    }
    return where;
}

void SendUpdate(Backend& backend, const RowCache& cache, const Row& row) {
    std::string set;
    std::vector<com::Variant> params;
    std::vector<size_t> matched;
    for (size_t c = 0; c < cache.columns.size(); ++c) {
        if (!cache.columns[c].updatable) continue;
        if (row.values[c] == row.Original(c)) {
            if (cache.columns[c].matched) matched.push_back(c);
            continue;
        }
        set += (set.empty() ? "" : ", ") + Quoted(cache.columns[c].baseColumn) + " = ?";
        params.push_back(row.values[c]);
        matched.push_back(c);
    }
    if (set.empty()) return;
    std::string where = AsRead(backend, cache, row, matched, params);
    std::string sql = "UPDATE " + Quoted(cache.baseTable) + " SET " + set + " WHERE " + where;
    if (backend.Execute(sql, params) == 0) Conflict(cache, row);
}

// Every column is matched: a row changed since it was read is not deleted unseen.
void SendDelete(Backend& backend, const RowCache& cache, const Row& row) {
    std::vector<size_t> columns;
    for (size_t c = 0; c < cache.columns.size(); ++c)
        if (cache.columns[c].updatable && static_cast<int>(c) != cache.keyIndex)
            columns.push_back(c);
    std::vector<com::Variant> params;
    std::string where = AsRead(backend, cache, row, columns, params);
    if (backend.Execute("DELETE FROM " + Quoted(cache.baseTable) + " WHERE " + where, params) == 0)
        Conflict(cache, row);
}

com::Variant KeyValue(int64_t key) {
    if (key >= INT32_MIN && key <= INT32_MAX) return com::Variant(static_cast<int32_t>(key));
    return com::Variant(static_cast<double>(key));
}

// The insert of the values; columns left Null take the database's default (a generated key
// among them).
InsertParts InsertOf(const RowCache& cache, const RowValues& values,
                     std::vector<com::Variant>& params) {
    InsertParts insert{Quoted(cache.baseTable), "", ""};
    params.clear();
    for (size_t c = 0; c < cache.columns.size(); ++c) {
        if (!cache.columns[c].updatable || values[c].IsNull()) continue;
        insert.columns +=
            (insert.columns.empty() ? "" : ", ") + Quoted(cache.columns[c].baseColumn);
        insert.marks += (insert.marks.empty() ? "?" : ", ?");
        params.push_back(values[c]);
    }
    return insert;
}

// The smallest positive key no row has.
com::Variant LowestFreeKey(Backend& backend, const RowCache& cache) {
    const std::string table = Quoted(cache.baseTable), key = Quoted(Key(cache).baseColumn);
    QueryResult free =
        backend.Query("SELECT MIN(K) FROM (SELECT 1 AS K WHERE NOT EXISTS (SELECT 1 FROM " + table +
                          " WHERE " + key + " = 1) UNION ALL SELECT A." + key + " + 1 FROM " +
                          table + " A WHERE NOT EXISTS (SELECT 1 FROM " + table + " B WHERE B." +
                          key + " = A." + key + " + 1)) F",
                      {});
    return free.rows.empty() ? com::Variant::Null() : free.rows[0][0];
}

RowValues SendInsert(Connection& connection, const RowCache& cache, const Row& row) {
    Backend& backend = connection.Backend();
    RowValues stored = row.values;
    com::Variant& key = stored[cache.keyIndex];
    std::vector<com::Variant> params;
    // Each attempt runs in a savepoint: a server aborts the whole transaction at a failed
    // statement, and the second attempt must still be able to run in it.
    auto attempt = [&] {
        InsertParts insert = InsertOf(cache, stored, params);
        Transaction savepoint(connection, Transaction::Lock::Deferred);
        if (key.IsNull())
            key = KeyValue(
                backend.InsertGeneratingKey(insert, params, Quoted(Key(cache).baseColumn)));
        else
            backend.Execute(InsertSql(insert), params);
        savepoint.Commit();
    };
    try {
        attempt();
    } catch (const com::ComError& e) {
        // A generated key follows the largest one; a key column with a bound (five digits) then
        // refuses it once the largest key is taken, while keys below are free. The lowest free
        // key is tried once; should that fail too, the first failure is what the caller sees.
        if (!key.IsNull() || !backend.IsConstraintViolation(e)) throw;
        com::Variant freeKey = LowestFreeKey(backend, cache);
        if (freeKey.IsNull()) throw;
        key = freeKey;
        try {
            attempt();
        } catch (const com::ComError&) {
            throw e;
        }
    }

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

// A text longer than its column is refused before anything is sent: a server would cut it or
// refuse it with its own words, and SQLite with its CHECK's. Widths count characters, as the
// window's fields and the columns count them.
void RequireFittingTexts(const RowCache& cache, const Row& row) {
    for (size_t c = 0; c < cache.columns.size(); ++c) {
        const Column& column = cache.columns[c];
        const com::Variant& value = row.values[c];
        if (!column.updatable || column.definedSize <= 0 || !value.IsText()) continue;
        if (txt::CharCount(value.ToText()) <= static_cast<size_t>(column.definedSize)) continue;
        throw com::ComError(com::err::ArgumentOutOfRange,
                            "Il campo %1 ammette al massimo %2 caratteri")
            .SetValues({column.baseColumn, std::to_string(column.definedSize)})
            .SetNative(0, cache.baseTable + "." + column.baseColumn + ": " +
                              std::to_string(txt::CharCount(value.ToText())) +
                              " characters, nothing was written");
    }
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

namespace {

std::optional<RowValues> Send(Connection& connection, const RowCache& cache, const Row& row,
                              Change change) {
    switch (change) {
        case Change::Update:
            SendUpdate(connection.Backend(), cache, row);
            return std::nullopt;
        case Change::Delete:
            SendDelete(connection.Backend(), cache, row);
            return std::nullopt;
        case Change::Insert:
            return SendInsert(connection, cache, row);
    }
    return std::nullopt;
}

// The base table's columns of the row, as read and as written.
void TellWatcher(WatchingBackend& watching, const RowCache& cache, const Row& row, Change change,
                 const std::optional<RowValues>& stored) {
    std::vector<std::string> columns;
    RowValues before, after;
    for (size_t c = 0; c < cache.columns.size(); ++c) {
        if (!cache.columns[c].updatable) continue;
        columns.push_back(cache.columns[c].baseColumn);
        if (change != Change::Insert) before.push_back(row.Original(c));
        if (change != Change::Delete) after.push_back(stored ? (*stored)[c] : row.values[c]);
    }
    watching.RowWritten({cache.baseTable, columns, Key(cache).baseColumn,
                         static_cast<RowChange>(change), before, after});
}

}  // namespace

std::optional<RowValues> SendChange(Connection& connection, const RowCache& cache, const Row& row,
                                    Change change) {
    RequireWritable(cache);
    if (change != Change::Delete) RequireFittingTexts(cache, row);
    auto* watching = dynamic_cast<WatchingBackend*>(&connection.Backend());
    if (!watching) return Send(connection, cache, row, change);
    // A row written outside a transaction gets one, so that what the watcher writes for it is
    // committed with it.
    std::optional<Transaction> own;
    if (!watching->InTransaction()) own.emplace(connection);
    std::optional<RowValues> stored;
    {
        // The watcher hears of the row whole, as read and as written, below; the statements that
        // write it would only have it read again.
        WatchingBackend::Quiet quiet(*watching);
        stored = Send(connection, cache, row, change);
    }
    TellWatcher(*watching, cache, row, change, stored);
    if (own) own->Commit();
    return stored;
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
