#include "platform/ado/sqlite/sqlite_statement.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "platform/ado/sqlite/sqlite_error.h"
#include "platform/com/com_error.h"
#include "platform/text/text.h"

namespace ado::detail {

namespace {

// The declared type by SQLite's affinity rules, with the width of a text column.
void DescribeDeclaredType(const char* declared, ColumnInfo& column) {
    if (!declared || !*declared) return;
    std::string t = txt::Upper(declared);
    auto has = [&](const char* part) { return t.find(part) != std::string::npos; };
    if (has("INT")) {
        column.type = com::VarType::Long;
    } else if (has("CHAR") || has("CLOB") || has("TEXT")) {
        column.type = com::VarType::String;
        if (auto open = t.find('('); open != std::string::npos)
            column.definedSize = std::atoi(t.c_str() + open + 1);
    } else if (has("BOOL")) {
        column.type = com::VarType::Boolean;
    } else if (has("REAL") || has("FLOA") || has("DOUB") || has("NUM") || has("DEC")) {
        column.type = com::VarType::Double;
    }
}

}  // namespace

sqlite3_stmt* StatementCache::Take(const std::string& sql) {
    for (auto it = kept_.rbegin(); it != kept_.rend(); ++it)
        if (it->first == sql) {
            sqlite3_stmt* stmt = it->second;
            kept_.erase(std::next(it).base());
            return stmt;
        }
    return nullptr;
}

void StatementCache::Keep(const std::string& sql, sqlite3_stmt* stmt) {
    if (kept_.size() == kSize) {
        sqlite3_finalize(kept_.front().second);
        kept_.erase(kept_.begin());
    }
    kept_.emplace_back(sql, stmt);
}

void StatementCache::Clear() {
    for (auto& [sql, stmt] : kept_) sqlite3_finalize(stmt);
    kept_.clear();
}

SqliteStatement::SqliteStatement(sqlite3* db, const std::string& sql, size_t offset,
                                 StatementCache* cache)
    : db_(db), sql_(sql) {
    if (cache && offset == 0 && (stmt_ = cache->Take(sql))) {
        rest_ = sql.size();
        cache_ = cache;
        return;
    }
    const char* start = sql.c_str() + offset;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, start, static_cast<int>(sql.size() - offset), &stmt_, &tail) !=
        SQLITE_OK)
        ThrowSqliteError(db, sql);
    rest_ = tail ? static_cast<size_t>(tail - sql.c_str()) : sql.size();
    // Only a statement that is the whole text: the cache gives back one statement per text.
    if (cache && offset == 0 && stmt_ && txt::IsBlank(std::string_view(sql).substr(rest_)))
        cache_ = cache;
}

SqliteStatement::~SqliteStatement() {
    if (!cache_) {
        sqlite3_finalize(stmt_);
        return;
    }
    // A statement that failed may keep its error until reset; the cache takes it clean.
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    cache_->Keep(sql_, stmt_);
}

size_t SqliteStatement::Bind(const std::vector<com::Variant>& params, size_t first) {
    int count = sqlite3_bind_parameter_count(stmt_);
    if (first + count > params.size())
        throw com::ComError(com::err::Database, "Too few parameters for the statement")
            .SetNative(0, "Statement: " + sql_);
    for (int i = 0; i < count; ++i) {
        const com::Variant& v = params[first + i];
        int rc = SQLITE_OK;
        switch (v.Type()) {
            case com::VarType::Empty:
            case com::VarType::Null:
                rc = sqlite3_bind_null(stmt_, i + 1);
                break;
            case com::VarType::Integer:
            case com::VarType::Long:
            case com::VarType::Boolean:
                rc = sqlite3_bind_int64(stmt_, i + 1, v.ToLong());
                break;
            case com::VarType::Double:
                rc = sqlite3_bind_double(stmt_, i + 1, v.ToDouble());
                break;
            case com::VarType::String: {
                std::string text = v.ToText();
                rc = sqlite3_bind_text(stmt_, i + 1, text.data(), static_cast<int>(text.size()),
                                       SQLITE_TRANSIENT);
                break;
            }
            default:
                throw com::ComError(
                    com::err::TypeMismatch,
                    "A parameter of this type cannot be sent to the database: " + v.Debug());
        }
        if (rc != SQLITE_OK) ThrowSqliteError(db_, sql_);
    }
    return first + count;
}

bool SqliteStatement::Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    ThrowSqliteError(db_, sql_);
}

std::vector<ColumnInfo> SqliteStatement::Columns() const {
    int count = ColumnCount();
    std::vector<ColumnInfo> columns(count);
    for (int i = 0; i < count; ++i) {
        ColumnInfo& c = columns[i];
        c.name = sqlite3_column_name(stmt_, i);
        DescribeDeclaredType(sqlite3_column_decltype(stmt_, i), c);
        if (const char* table = sqlite3_column_table_name(stmt_, i)) c.baseTable = table;
        if (const char* origin = sqlite3_column_origin_name(stmt_, i)) c.baseColumn = origin;
    }
    return columns;
}

void SqliteStatement::ReadRow(RowValues& into) const {
    int count = ColumnCount();
    into.clear();
    into.reserve(count);
    for (int i = 0; i < count; ++i) {
        switch (sqlite3_column_type(stmt_, i)) {
            case SQLITE_INTEGER: {
                sqlite3_int64 n = sqlite3_column_int64(stmt_, i);
                if (n >= INT32_MIN && n <= INT32_MAX)
                    into.emplace_back(static_cast<int32_t>(n));
                else
                    into.emplace_back(static_cast<double>(n));
                break;
            }
            case SQLITE_FLOAT:
                into.emplace_back(sqlite3_column_double(stmt_, i));
                break;
            case SQLITE_NULL:
                into.push_back(com::Variant::Null());
                break;
            default: {
                auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
                into.emplace_back(std::string_view(text, sqlite3_column_bytes(stmt_, i)));
                break;
            }
        }
    }
}

}  // namespace ado::detail
