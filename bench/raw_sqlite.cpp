#include "bench/raw_sqlite.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <stdexcept>

namespace bench {

void Check(sqlite3* db, int rc) {
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db));
}

RawDatabase::RawDatabase(const std::string& file) {
    int rc = sqlite3_open_v2(file.c_str(), &db_,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db_);
        throw std::runtime_error("SQLite: cannot open " + file);
    }
    sqlite3_busy_timeout(db_, 1000);
    ReadAll("PRAGMA journal_mode=WAL");
    Execute("PRAGMA foreign_keys=ON");
}

RawDatabase::~RawDatabase() {
    sqlite3_close_v2(db_);
}

int RawDatabase::Execute(const std::string& sql) {
    Check(db_, sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr));
    return sqlite3_changes(db_);
}

int RawDatabase::ReadAll(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    Check(db_, sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr));
    int rows = 0;
    int64_t sum = 0;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        ++rows;
        for (int c = 0, n = sqlite3_column_count(stmt); c < n; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER:
                    sum += sqlite3_column_int64(stmt, c);
                    break;
                case SQLITE_FLOAT:
                    sum += static_cast<int64_t>(sqlite3_column_double(stmt, c));
                    break;
                case SQLITE_TEXT:
                    sum += *sqlite3_column_text(stmt, c) + sqlite3_column_bytes(stmt, c);
                    break;
                default:
                    break;
            }
        }
    }
    std::string error = rc == SQLITE_DONE ? std::string() : sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    if (!error.empty()) throw std::runtime_error("SQLite: " + error);
    benchmark::DoNotOptimize(sum);
    return rows;
}

std::vector<std::vector<std::string>> RawDatabase::Rows(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    Check(db_, sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr));
    std::vector<std::vector<std::string>> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        auto& row = rows.emplace_back();
        for (int c = 0, n = sqlite3_column_count(stmt); c < n; ++c) {
            auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            row.emplace_back(text ? text : "");
        }
    }
    std::string error = rc == SQLITE_DONE ? std::string() : sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    if (!error.empty()) throw std::runtime_error("SQLite: " + error);
    return rows;
}

}  // namespace bench
