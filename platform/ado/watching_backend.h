#pragma once
// A provider seen through a watcher: every call goes on to the provider, and the watcher hears of
// transactions and statements. A connection puts it in front of its provider only while it has a
// watcher, so that a connection without one pays nothing.

#include <memory>

#include "platform/ado/backend.h"
#include "platform/ado/watcher.h"

namespace ado::detail {

class WatchingBackend : public Backend {
  public:
    WatchingBackend(std::unique_ptr<Backend> provider, Connection& connection, Watcher& watcher)
        : provider_(std::move(provider)), connection_(connection), watcher_(watcher) {}
    std::unique_ptr<Backend> Release() { return std::move(provider_); }

    // While the watcher runs, its own calls go to the provider unwatched.
    class Quiet {
      public:
        explicit Quiet(WatchingBackend& b) : b_(b), was_(b.quiet_) { b.quiet_ = true; }
        ~Quiet() { b_.quiet_ = was_; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

      private:
        WatchingBackend& b_;
        bool was_;
    };
    // Tells the watcher of a row a recordset wrote, unless the watcher wrote it.
    void RowWritten(const WrittenRow& row) {
        if (quiet_) return;
        Quiet quiet(*this);
        watcher_.RowWritten(connection_, row);
    }

    void Open(const std::string& target, int32_t timeoutSeconds) override {
        provider_->Open(target, timeoutSeconds);
    }
    void Close() override { provider_->Close(); }
    bool IsOpen() const override { return provider_->IsOpen(); }
    QueryResult Query(const std::string& sql, const std::vector<com::Variant>& params) override;
    int32_t Execute(const std::string& sql, const std::vector<com::Variant>& params) override;
    void Begin(bool immediate) override;
    void Commit() override;
    void Rollback() override;
    bool InTransaction() const override { return provider_->InTransaction(); }
    std::string SameValue(const std::string& column, const com::Variant& value) const override {
        return provider_->SameValue(column, value);
    }
    bool IsConstraintViolation(const com::ComError& e) const override {
        return provider_->IsConstraintViolation(e);
    }
    bool IsBusy(const com::ComError& e) const override { return provider_->IsBusy(e); }
    int64_t LastInsertKey() const override { return provider_->LastInsertKey(); }
    int64_t InsertGeneratingKey(const InsertParts& insert, const std::vector<com::Variant>& params,
                                const std::string& keyColumn) override;
    void SetIsolation(int32_t level) override { provider_->SetIsolation(level); }
    std::vector<std::string> PrimaryKey(const std::string& table) override {
        return provider_->PrimaryKey(table);
    }
    Dialect SqlDialect() const override { return provider_->SqlDialect(); }

  private:
    // Runs `run` (which returns the rows affected) between the watcher's before and after; a
    // write outside a transaction gets one of its own, for the watcher to write in.
    template <class Run>
    auto Watched(const std::string& sql, const std::vector<com::Variant>& params, Run&& run);

    std::unique_ptr<Backend> provider_;
    Connection& connection_;
    Watcher& watcher_;
    int depth_ = 0;  // transactions begun through here and still open
    bool quiet_ = false;
};

}  // namespace ado::detail
