#include "db/history.h"

#include <algorithm>

#include "platform/ado/recordset.h"
#include "platform/com/com_error.h"

namespace db {

namespace {

// The records read by one query: few enough to hold, many enough that the queries cost little.
constexpr int64_t kPage = 1000;

constexpr const char* kColumns =
    "STORICO_ID, STORICO_QUANDO, STORICO_UTENTE, STORICO_PROGRAMMA, STORICO_DITTA, "
    "STORICO_AZIONE, STORICO_TABELLA, STORICO_CHIAVE, STORICO_CRITERIO, STORICO_DETTAGLIO";

// The time as text in UTC, "YYYY-MM-DD HH:MM:SS.mmm" (on SQLite its clock is this program's),
// and the user, in the dialect.
std::pair<const char*, const char*> WhenAndWho(ado::Dialect dialect) {
    switch (dialect) {
        case ado::Dialect::Sqlite:
            return {"strftime('%Y-%m-%d %H:%M:%f', 'now')", "?"};
        case ado::Dialect::Postgresql:
            return {"to_char(clock_timestamp() AT TIME ZONE 'UTC', 'YYYY-MM-DD HH24:MI:SS.MS')",
                    "current_user"};
        case ado::Dialect::Tsql:
            return {"CONVERT(VARCHAR(23), SYSUTCDATETIME(), 121)", "SUSER_SNAME()"};
    }
    throw com::ComError(com::err::InvalidCall, "This database's dialect has no history");
}

com::Variant Optional(const std::optional<int32_t>& value) {
    return value ? com::Variant(*value) : com::Variant::Null();
}

std::optional<int32_t> Optional(const com::Variant& value) {
    if (value.IsNull()) return std::nullopt;
    return value.ToLong();
}

HistoryRecord Read(ado::Recordset& rs) {
    HistoryRecord r;
    r.id = static_cast<int64_t>(rs.Fields(0).Value().ToDouble());
    r.when = rs.Fields(1).Value().ToText();
    r.user = rs.Fields(2).Value().ToText();
    r.program = rs.Fields(3).Value().ToText();
    r.company = rs.Fields(4).Value().ToLong();
    r.action = rs.Fields(5).Value().ToText();
    r.table = rs.Fields(6).Value().ToText();
    r.key = Optional(rs.Fields(7).Value());
    r.criterion = Optional(rs.Fields(8).Value());
    r.detail = rs.Fields(9).Value().ToText();
    return r;
}

}  // namespace

bool IsHistoryDay(std::string_view day) {
    if (day.size() != 10 || day[4] != '-' || day[7] != '-') return false;
    int numbers[3] = {};
    for (size_t at : {0, 5, 8})
        for (size_t i = at; i < (at ? at + 2 : 4); ++i) {
            if (day[i] < '0' || day[i] > '9') return false;
            numbers[at / 4] = numbers[at / 4] * 10 + (day[i] - '0');
        }
    const auto [year, month, dayOfMonth] = numbers;
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month >= 1 && month <= 12 && dayOfMonth >= 1 &&
           dayOfMonth <= (month == 2 && !leap ? 28 : kDays[month - 1]);
}

void WriteHistory(ado::Connection& connection, const HistoryRecord& record) {
    const auto dialect = connection.SqlDialect();
    const auto [when, who] = WhenAndWho(dialect);
    std::vector<com::Variant> values;
    if (dialect == ado::Dialect::Sqlite) values.emplace_back(record.user);
    values.insert(values.end(), {record.program, record.company, record.action, record.table,
                                 Optional(record.key), Optional(record.criterion), record.detail});
    connection.ExecuteWith(
        std::string("INSERT INTO HOST_STORICO (STORICO_QUANDO, STORICO_UTENTE, "
                    "STORICO_PROGRAMMA, STORICO_DITTA, STORICO_AZIONE, STORICO_TABELLA, "
                    "STORICO_CHIAVE, STORICO_CRITERIO, STORICO_DETTAGLIO) VALUES (") +
            when + ", " + who + ", ?, ?, ?, ?, ?, ?, ?)",
        values);
}

// Read in pages by key, newest first: each page goes on below the last key of the one before, so
// a page costs the same however far down it is.
void ReadHistory(ado::Connection& connection, const HistoryFilter& filter,
                 const std::function<void(const HistoryRecord&)>& each) {
    if (filter.since && !IsHistoryDay(*filter.since))
        throw com::ComError(com::err::InvalidPropertyValue, "Data non valida: %1 (AAAA-MM-GG)")
            .SetValues({*filter.since});
    std::string where = " FROM HOST_STORICO WHERE STORICO_DITTA = ?";
    std::vector<com::Variant> params = {filter.company};
    if (filter.criterion) {
        where += " AND STORICO_CRITERIO = ?";
        params.emplace_back(*filter.criterion);
    }
    if (filter.since) {
        where += " AND STORICO_QUANDO >= ?";
        params.emplace_back(*filter.since);
    }
    const bool top = connection.SqlDialect() == ado::Dialect::Tsql;
    int64_t left = filter.limit.value_or(INT64_MAX);
    std::optional<int64_t> last;
    while (left > 0) {
        const int64_t size = std::min(left, kPage);
        const std::string page = std::to_string(size);
        // The key bound is written out: compared with a parameter, a key past 32 bits would go
        // as a double, which a server's index on an integer column cannot serve.
        const std::string sql = std::string("SELECT ") + (top ? "TOP (" + page + ") " : "") +
                                kColumns + where +
                                (last ? " AND STORICO_ID < " + std::to_string(*last) : "") +
                                " ORDER BY STORICO_ID DESC" + (top ? "" : " LIMIT " + page);
        auto rs = connection.ExecuteWith(sql, params);
        int64_t read = 0;
        for (; !rs->Eof(); rs->MoveNext(), ++read) {
            const auto record = Read(*rs);
            last = record.id;
            each(record);
        }
        left -= read;
        if (read < size) return;
    }
}

}  // namespace db
