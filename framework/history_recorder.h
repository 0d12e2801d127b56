#pragma once
// The watcher of a host connection that turns what a user action's transaction did to criteria
// and matrix rows into the action's one history record, written through db::WriteHistory just
// before the commit. The code that acts (the module's window, the matrix window, an import) is
// not changed for it: the recorder learns the rows from the rows a recordset writes back and from
// the statements' own conditions: returned by the statements themselves where the database can,
// else read before they run; and the rows statements changed are read again before the commit.

#include "framework/history_entry.h"
#include "platform/ado/watcher.h"

namespace framework {

class HistoryRecorder : public ado::Watcher {
  public:
    // `program` as the record names it: "dravel-host", "dravel", "dravel script FILE".
    explicit HistoryRecorder(std::string program);

    void Began(ado::Connection&) override;
    std::vector<std::string> ColumnsToReturn(const ado::ChangedTable& table) override;
    void RowsReturned(ado::Connection&, const ado::ReturnedRows& returned) override;
    void BeforeStatement(ado::Connection& connection, const std::string& sql,
                         const std::vector<com::Variant>& params) override;
    void AfterStatement(ado::Connection&, const std::string& sql,
                        const std::vector<com::Variant>& params, int32_t rowsAffected) override;
    void RowWritten(ado::Connection&, const ado::WrittenRow& row) override;
    void BeforeCommit(ado::Connection& connection) override;
    void RolledBack(ado::Connection&) noexcept override;

  private:
    void Forget() noexcept;
    // The row of `table` in `values`, kept with its values as first seen.
    history::Touched& Touch(const history::Table& table, const history::Values& values);

    std::string program_, user_;
    history::TouchedRows rows_;
    std::vector<history::Values> inserted_;  // matrix rows inserted by statements
    int writes_ = 0;
    // The rows the running statement changes: read before it runs, or returned by it.
    const history::Table* runningTable_ = nullptr;
    std::vector<history::Values> running_;
    bool runningDeletes_ = false;
    bool returning_ = false;  // the running statement returns its rows: no read before it
    bool renumbers_ = false;  // the running statement renumbers criteria, returning their type
};

}  // namespace framework
