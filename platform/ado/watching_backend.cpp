#include "platform/ado/watching_backend.h"

namespace ado::detail {

namespace {

bool Writes(const std::string& sql) {
    const std::string word = LeadingKeyword(sql);
    return word == "INSERT" || word == "UPDATE" || word == "DELETE" || word == "REPLACE" ||
           word == "MERGE";
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
    {
        Quiet quiet(*this);
        watcher_.BeforeStatement(connection_, sql, params);
    }
    auto result = run();
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
