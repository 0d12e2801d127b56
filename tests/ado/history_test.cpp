// The history's records written and read back on each backend: every field, the filters, the
// reading in pages, and a server's user who may only insert and read.

#include <ctime>

#include "db/history.h"
#include "platform/ado/transaction.h"
#include "tests/ado/temp_database.h"
#include "tests/support/history_role.h"

namespace dravel::testing {
namespace {

using ::testing::MatchesRegex;

// A record of `company`, of criterion `criterion`'s matrix row `key`.
db::HistoryRecord Record(int32_t company, std::optional<int32_t> criterion,
                         std::optional<int32_t> key = 1) {
    return {.user = "mario",
            .program = "dravel",
            .company = company,
            .action = db::kActionChange,
            .table = "MGA1_MATRCPAR",
            .key = key,
            .criterion = criterion,
            .detail = R"({"changed":{"MGA1_CONTO":["60.01","60.02"]}})"};
}

// The keys of the records `filter` reads, as "key,key".
std::string Keys(ado::Connection& c, const db::HistoryFilter& filter) {
    std::string keys;
    db::ReadHistory(c, filter, [&](const db::HistoryRecord& r) {
        keys += (keys.empty() ? "" : ",") + std::to_string(*r.key);
    });
    return keys;
}

class History : public OnEachBackend {};

TEST_P(History, ARecordIsReadBackAsWritten) {
    auto record = Record(3, std::nullopt, std::nullopt);
    record.action = db::kActionImport;
    record.program = "dravel script /home/mario/matrice è.dvs";
    record.detail = "{\"added\":[" + std::string(30000, ' ') + "\"€🙂\"]}";
    db::WriteHistory(*conn_, record);
    char today[11];
    const std::time_t now = std::time(nullptr);
    std::strftime(today, sizeof today, "%F", std::gmtime(&now));
    int read = 0;
    db::ReadHistory(*conn_, {.company = 3}, [&](const db::HistoryRecord& r) {
        ++read;
        EXPECT_GT(r.id, 0);
        EXPECT_THAT(
            r.when,
            MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}"));
        EXPECT_EQ(r.when.substr(0, 10), today);  // UTC
        EXPECT_EQ(r.user, Which() == Backend::Sqlite ? "mario" : "dravel");
        EXPECT_EQ(std::tie(r.program, r.company, r.action, r.table, r.key, r.criterion, r.detail),
                  std::tie(record.program, record.company, record.action, record.table, record.key,
                           record.criterion, record.detail));
    });
    EXPECT_EQ(read, 1);
}

TEST_P(History, ReadsNewestFirstWhatTheFilterSelects) {
    for (const auto& r : {Record(1, 5, 1), Record(1, 7, 2), Record(2, 5, 3), Record(1, 5, 4),
                          Record(1, std::nullopt, 5), Record(1, 5, 6)})
        db::WriteHistory(*conn_, r);
    // The first two records were written on an earlier day.
    conn_->Execute(
        "UPDATE HOST_STORICO SET STORICO_QUANDO = '2026-03-01 23:59:59.999' WHERE STORICO_CHIAVE "
        "<= 2");
    const struct {
        db::HistoryFilter filter;
        const char* keys;
    } cases[] = {
        {{.company = 1}, "6,5,4,2,1"},
        {{.company = 1, .criterion = 5}, "6,4,1"},
        {{.company = 2, .criterion = 5}, "3"},
        {{.company = 1, .criterion = 9}, ""},
        {{.company = 1, .since = "2026-03-01"}, "6,5,4,2,1"},
        {{.company = 1, .since = "2026-03-02"}, "6,5,4"},
        {{.company = 1, .criterion = 7, .since = "2026-03-02"}, ""},
        {{.company = 1, .limit = 2}, "6,5"},
        {{.company = 1, .criterion = 5, .limit = 0}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        EXPECT_EQ(Keys(*conn_, c.filter), c.keys);
    }
    // A day that is not one is refused before anything is read.
    for (const char* day : {"2026-02-29", "2026-04-31", "2026-13-01", "2026-3-01", "01-03-2026",
                            "2026-03-01 10:00"}) {
        SCOPED_TRACE(day);
        EXPECT_THAT([&] { Keys(*conn_, {.company = 1, .since = day}); },
                    FailsWith(com::err::InvalidPropertyValue));
    }
    EXPECT_EQ(Keys(*conn_, {.company = 1, .since = "2024-02-29"}), "6,5,4,2,1");
}

// More records than a page: each read once, in order, up to the limit.
TEST_P(History, ReadsPageAfterPage) {
    constexpr int kRecords = 2345;
    {
        ado::Transaction transaction(*conn_);
        for (int i = 1; i <= kRecords; ++i) db::WriteHistory(*conn_, Record(1, 5, i));
        transaction.Commit();
    }
    for (const int64_t limit : {int64_t{kRecords + 1}, int64_t{2000}, int64_t{1001}}) {
        SCOPED_TRACE(limit);
        int next = kRecords, read = 0;
        db::ReadHistory(*conn_, {.company = 1, .criterion = 5, .limit = limit},
                        [&](const db::HistoryRecord& r) {
                            ASSERT_EQ(*r.key, next--);
                            ++read;
                        });
        EXPECT_EQ(read, std::min<int64_t>(limit, kRecords));
    }
}

DRAVEL_ON_EACH_BACKEND(History);

class PostgresqlHistory : public TempDatabase {
  protected:
    Backend Which() const override { return Backend::Postgresql; }
};

// A server's ordinary user writes and reads the history, and can neither change nor remove it.
TEST_F(PostgresqlHistory, AnOrdinaryUserMayOnlyInsertAndRead) {
    testing_support::GrantHistoryRole(*conn_);
    auto editor = ado::Connection::Create();
    editor->Open(testing_support::AsHistoryRole(connectionString_));
    db::WriteHistory(*editor, Record(1, 5, 8));
    std::string user;
    db::ReadHistory(*editor, {.company = 1}, [&](const db::HistoryRecord& r) {
        user = r.user + " " + std::to_string(*r.key);
    });
    EXPECT_EQ(user, std::string(testing_support::kHistoryRole) + " 8");
    for (const char* sql : {"UPDATE HOST_STORICO SET STORICO_UTENTE = 'altri'",
                            "DELETE FROM HOST_STORICO", "TRUNCATE HOST_STORICO"}) {
        SCOPED_TRACE(sql);
        EXPECT_THAT([&] { editor->Execute(sql); }, FailsWith(com::err::Database));
    }
    EXPECT_EQ(Rows("SELECT STORICO_UTENTE, STORICO_CHIAVE FROM HOST_STORICO"),
              std::string(testing_support::kHistoryRole) + "|8");
}

}  // namespace
}  // namespace dravel::testing
