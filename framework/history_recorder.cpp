#include "framework/history_recorder.h"

#include <unistd.h>

#include "platform/ado/recordset.h"
#include "platform/com/user_files.h"
#include "platform/text/text.h"
#include "platform/text/utf8.h"

namespace framework {

namespace {

std::vector<history::Values> ReadRows(ado::Connection& connection, const std::string& sql,
                                      const std::vector<com::Variant>& params) {
    std::vector<history::Values> rows;
    auto rs = connection.ExecuteWith(sql, params);
    if (rs->State() != ado::adStateOpen) return rows;
    std::vector<std::string> names;
    for (int i = 0; i < rs->FieldCount(); ++i) names.push_back(txt::Upper(rs->Fields(i).Name()));
    for (; !rs->Eof(); rs->MoveNext()) {
        history::Values& values = rows.emplace_back();
        for (int i = 0; i < rs->FieldCount(); ++i) values.emplace(names[i], rs->Fields(i).Value());
    }
    return rows;
}

history::Values ValuesOf(const std::vector<std::string>& columns,
                         const std::vector<com::Variant>& values) {
    history::Values out;
    for (size_t i = 0; i < columns.size() && i < values.size(); ++i)
        out[txt::Upper(columns[i])] = values[i];
    return out;
}

int32_t KeyOf(const history::Table& table, const history::Values& values) {
    auto it = values.find(table.key);
    return it == values.end() || it->second.IsNull() ? 0 : it->second.ToLong();
}

// The effective user's login name from the user database; its number when the database has no
// entry for it ($USER names whoever its setter likes).
std::string HistoryUser() {
    if (auto account = com::CurrentUserAccount()) return account->name;
    return "uid " + std::to_string(::geteuid());
}

// The program as the history's column holds it, at most 255 characters: a script's long path
// keeps its end, where the file's name is, after an ellipsis.
std::string ProgramColumn(std::string program) {
    constexpr size_t kWidth = 255;
    const size_t count = txt::CharCount(program);
    if (count <= kWidth) return program;
    constexpr std::string_view kScript = "dravel script ";
    const size_t head = program.starts_with(kScript) ? kScript.size() : 0;
    const std::string_view path = std::string_view(program).substr(head);
    size_t at = 0;
    for (size_t drop = count - kWidth + 1; drop > 0 && at < path.size(); --drop)
        at += txt::DecodeAt(path, at).length;
    return program.substr(0, head) + "…" + std::string(path.substr(at));
}

}  // namespace

HistoryRecorder::HistoryRecorder(std::string program)
    : program_(ProgramColumn(std::move(program))), user_(HistoryUser()) {}

void HistoryRecorder::Forget() noexcept {
    rows_.clear();
    inserted_.clear();
    running_.clear();
    runningTable_ = nullptr;
    returning_ = renumbers_ = false;
    writes_ = 0;
}

history::Touched& HistoryRecorder::Touch(const history::Table& table,
                                         const history::Values& values) {
    auto [it, added] = rows_.try_emplace({&table, KeyOf(table, values)});
    if (added) {
        it->second.table = &table;
        it->second.before = values;
    }
    return it->second;
}

void HistoryRecorder::Began(ado::Connection&) {
    Forget();
}

// A delete returns its rows whole; a renumbering (an update of criteria from a FROM of its own,
// which sets only the priorities that differ) returns the key and the type, all the record
// counts it by. Any other update is read before it runs, to compare its rows' values.
std::vector<std::string> HistoryRecorder::ColumnsToReturn(const ado::ChangedTable& table) {
    running_.clear();
    runningTable_ = history::TableNamed(table.name);
    runningDeletes_ = table.deletes;
    renumbers_ = runningTable_ == &history::kCriteria && table.joins;
    returning_ = runningTable_ && (table.deletes || renumbers_);
    if (!returning_) return {};
    if (table.deletes) return {"*"};
    return {history::kCriteria.key, history::kCriterionType};
}

void HistoryRecorder::RowsReturned(ado::Connection&, const ado::ReturnedRows& returned) {
    for (const auto& row : returned.rows) running_.push_back(ValuesOf(returned.columns, row));
}

void HistoryRecorder::BeforeStatement(ado::Connection& connection, const std::string& sql,
                                      const std::vector<com::Variant>& params) {
    if (std::exchange(returning_, false)) return;
    renumbers_ = false;
    running_.clear();
    runningTable_ = nullptr;
    const std::string word = ado::LeadingKeyword(sql);
    if (word != "UPDATE" && word != "DELETE") return;
    auto rows = ado::RowsTouchedBy(sql, params);
    if (!rows || !(runningTable_ = history::TableNamed(rows->table))) return;
    running_ = ReadRows(connection, rows->sql, rows->params);
    runningDeletes_ = word == "DELETE";
}

void HistoryRecorder::AfterStatement(ado::Connection&, const std::string& sql,
                                     const std::vector<com::Variant>& params, int32_t) {
    if (runningTable_) {
        for (const auto& values : running_) {
            history::Touched& touched = Touch(*runningTable_, values);
            touched.deleted |= runningDeletes_;
            touched.renumbered |= renumbers_;
            touched.current = false;
        }
        running_.clear();
        runningTable_ = nullptr;
    } else if (ado::LeadingKeyword(sql) == "INSERT") {
        auto rows = ado::RowsInsertedBy(sql, params);
        if (rows && history::TableNamed(rows->table) == &history::kMatrix)
            for (const auto& values : rows->rows)
                inserted_.push_back(ValuesOf(rows->columns, values));
    }
}

void HistoryRecorder::RowWritten(ado::Connection&, const ado::WrittenRow& row) {
    const history::Table* table = history::TableNamed(row.table);
    if (!table) return;
    const bool insert = row.change == ado::RowChange::Insert;
    history::Values values = ValuesOf(row.columns, insert ? row.after : row.before);
    history::Touched& touched = Touch(*table, values);
    // Known till now by its key and type alone: the values as read are its first whole ones.
    if (touched.renumbered && !insert) touched.before = values;
    if (insert) touched.before.reset();
    touched.deleted = row.change == ado::RowChange::Delete;
    touched.written = ++writes_;
    touched.current = !touched.deleted;
    if (touched.current) touched.after = ValuesOf(row.columns, row.after);
}

// The rows that statements changed as they stand now, read in the transaction, a few hundred keys
// to a statement (a row written back last is known as it was written); then the record, if the
// action changed anything.
void HistoryRecorder::BeforeCommit(ado::Connection& connection) {
    constexpr size_t kKeysAtOnce = 500;
    std::vector<std::pair<int32_t, history::Touched*>> asked;  // key, row
    auto read = [&] {
        if (asked.empty()) return;
        const history::Table& table = *asked.front().second->table;
        std::string sql =
            std::string("SELECT * FROM ") + table.name + " WHERE " + table.key + " IN (";
        std::vector<com::Variant> keys;
        for (const auto& [key, row] : asked) {
            sql += keys.empty() ? "?" : ", ?";
            keys.emplace_back(key);
        }
        std::map<int32_t, history::Values> now;
        for (auto& values : ReadRows(connection, sql + ")", keys))
            now[KeyOf(table, values)] = std::move(values);
        for (auto& [key, row] : asked) {
            auto it = now.find(key);
            if (it == now.end())
                row->deleted = true;
            else
                row->after = std::move(it->second);
        }
        asked.clear();
    };
    for (auto& [at, touched] : rows_) {
        if (touched.deleted || touched.current || (touched.renumbered && !touched.written))
            continue;
        if (!asked.empty() &&
            (asked.front().second->table != at.first || asked.size() == kKeysAtOnce))
            read();
        asked.emplace_back(at.second, &touched);
    }
    read();
    auto record = history::RecordOf(rows_, inserted_);
    Forget();
    if (!record) return;
    record->user = user_;
    record->program = program_;
    db::WriteHistory(connection, *record);
}

void HistoryRecorder::RolledBack(ado::Connection&) noexcept {
    Forget();
}

}  // namespace framework
