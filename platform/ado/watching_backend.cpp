#include "platform/ado/watching_backend.h"

namespace ado::detail {

namespace {

bool Writes(const std::string& sql) {
    const std::string word = LeadingKeyword(sql);
    return word == "INSERT" || word == "UPDATE" || word == "DELETE" || word == "REPLACE" ||
           word == "MERGE";
}

// The clause that has a changed table's statement return the columns asked, after a line break
// (a statement may end in a line comment); "" when none is asked.
std::string ReturningClause(const ChangedTable& table, const std::vector<std::string>& columns) {
    std::string clause;
    for (const auto& column : columns)
        clause += (clause.empty() ? "\nRETURNING " : ", ") +
                  (column == "*" ? column : table.written + "." + column);
    return clause;
}

}  // namespace

template <class Run>
auto WatchingBackend::Watched(const std::string& sql, const std::vector<com::Variant>& params,
                              Run&& run) {
    if (quiet_) return run();
    if (depth_ == 0 && !provider_->InTransaction() && Writes(sql)) {
        Begin(true);
        try {
            auto result = Watched(sql, params, run);
            Commit();
            return result;
        } catch (...) {
            Rollback();
            throw;
        }
    }
    // The rows an UPDATE or a DELETE changes, where the watcher asks for them, come back from the
    // statement itself: the statement runs here with a RETURNING clause of its columns, instead
    // of the watcher reading them before it (a second scan). SQL Server's OUTPUT clause goes
    // elsewhere in the text, and is not used: a watcher reads its rows itself there.
    std::optional<ChangedTable> table;
    std::string returning;
    {
        Quiet quiet(*this);
        if (provider_->SqlDialect() != Dialect::Tsql && (table = ReturnableStatement(sql, params)))
            returning = ReturningClause(*table, watcher_.ColumnsToReturn(*table));
        watcher_.BeforeStatement(connection_, sql, params);
    }
    auto result = [&] {
        if (returning.empty()) return run();
        QueryResult changed = provider_->Query(sql + returning, params);
        std::vector<std::string> columns;
        for (const auto& column : changed.columns) columns.push_back(column.name);
        {
            Quiet quiet(*this);
            watcher_.RowsReturned(connection_, {*table, columns, changed.rows});
        }
        const auto count = static_cast<int32_t>(changed.rows.size());
        if constexpr (std::is_same_v<decltype(run()), QueryResult>)
            return QueryResult{.rowsAffected = count};
        else
            return count;
    }();
    Quiet quiet(*this);
    if constexpr (std::is_same_v<decltype(result), QueryResult>)
        watcher_.AfterStatement(connection_, sql, params, result.rowsAffected);
    else
        watcher_.AfterStatement(connection_, sql, params, static_cast<int32_t>(result));
    return result;
}

QueryResult WatchingBackend::Query(const std::string& sql,
                                   const std::vector<com::Variant>& params) {
    return Watched(sql, params, [&] { return provider_->Query(sql, params); });
}

int32_t WatchingBackend::Execute(const std::string& sql, const std::vector<com::Variant>& params) {
    return Watched(sql, params, [&] { return provider_->Execute(sql, params); });
}

int64_t WatchingBackend::InsertGeneratingKey(const InsertParts& insert,
                                             const std::vector<com::Variant>& params,
                                             const std::string& keyColumn) {
    int64_t key = 0;
    Watched(InsertSql(insert), params, [&] {
        key = provider_->InsertGeneratingKey(insert, params, keyColumn);
        return int32_t{1};
    });
    return key;
}

void WatchingBackend::Begin(bool immediate) {
    provider_->Begin(immediate);
    if (quiet_) return;
    if (depth_++ == 0) {
        Quiet quiet(*this);
        watcher_.Began(connection_);
    }
}

// The watcher writes before the outermost commit, in the transaction; a savepoint's release is
// no commit.
void WatchingBackend::Commit() {
    if (!quiet_ && depth_ == 1) {
        Quiet quiet(*this);
        watcher_.BeforeCommit(connection_);
    }
    provider_->Commit();
    if (!quiet_ && depth_ > 0) --depth_;
}

void WatchingBackend::Rollback() {
    if (!quiet_ && depth_ > 0 && --depth_ == 0) watcher_.RolledBack(connection_);
    provider_->Rollback();
}

}  // namespace ado::detail
