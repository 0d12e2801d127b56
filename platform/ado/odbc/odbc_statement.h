#pragma once
// One ODBC statement: parameters bound from Variants, every result of a batch, rows fetched in
// blocks into Variants.

#include <memory>
#include <string>
#include <vector>

#include "platform/ado/backend.h"
#include "platform/ado/odbc/odbc_handle.h"

namespace ado::detail {

class OdbcStatement {
  public:
    explicit OdbcStatement(SQLHDBC connection);
    ~OdbcStatement();
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    // Runs `sql` with `params` bound to its markers in order; failures name the statement.
    void Execute(const std::string& sql, const std::vector<com::Variant>& params);
    // The same in two steps: `sql` prepared once, then run as often as needed, each time with
    // its own parameters.
    void Prepare(const std::string& sql);
    void Run(const std::vector<com::Variant>& params);
    // Leaves the statement to its connection's disconnect, which frees it (see OdbcHandle).
    void Abandon() { stmt_.Abandon(); }
    // Whether the current result has columns; its columns, its rows, the rows it changed.
    bool HasColumns();
    std::vector<ColumnInfo> Columns();
    void FetchAll(std::vector<RowValues>& rows);
    int32_t RowsAffected();
    // Moves to the next result of a batch; false when there is none.
    bool NextResult();

  private:
    struct Column;
    [[noreturn]] void Fail(const std::string& context);
    void Bind(const std::vector<com::Variant>& params);
    void Ended(SQLRETURN rc);
    void Describe();
    bool FetchBlocks(std::vector<RowValues>& rows);
    void FetchOneByOne(std::vector<RowValues>& rows);
    com::Variant ReadValue(SQLUSMALLINT index, const Column& column);

    OdbcHandle stmt_;
    std::string sql_;
    std::vector<Column> columns_;
    bool described_ = false;
    // The statement changed no rows and left no result: an UPDATE or a DELETE that found none,
    // even with a RETURNING clause (the driver then has no result to describe).
    bool noData_ = false;
    // Parameter buffers must outlive the execution.
    std::vector<std::u16string> texts_;
    std::vector<int64_t> integers_;
    std::vector<double> doubles_;
    std::vector<SQLLEN> lengths_;
};

}  // namespace ado::detail
