// The history's records written and read back on each backend: every field, the filters, the
// reading in pages.

#include <ctime>

#include "db/history.h"
#include "platform/ado/transaction.h"
#include "tests/ado/temp_database.h"

namespace dravel::testing {
namespace {

// A change of `company`'s matrix row `key`, of criterion `criterion`.
db::HistoryRecord Record(int32_t company, std::optional<int32_t> criterion, int32_t key) {
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
        keys += (keys.empty() ? "" : ",") + std::to_string(r.key.value_or(0));
    });
    return keys;
}

class History : public OnEachBackend {};

TEST_P(History, ARecordIsReadBackAsWritten) {
    const db::HistoryRecord record{.user = "mario",
                                   .program = "dravel script /home/è.dvs",
                                   .company = 3,
                                   .action = db::kActionImport,
                                   .table = "MGA1_MATRCPAR",
                                   .detail = "[" + std::string(30000, ' ') + "\"€🙂\"]"};
    db::WriteHistory(*conn_, record);
    char today[11];
    const std::time_t now = std::time(nullptr);
    std::strftime(today, sizeof today, "%F", std::gmtime(&now));
    std::vector<db::HistoryRecord> read;
    db::ReadHistory(*conn_, {.company = 3}, [&](const db::HistoryRecord& r) { read.push_back(r); });
    ASSERT_EQ(read.size(), 1u);
    const auto& r = read[0];
    EXPECT_THAT(r.when, ::testing::MatchesRegex(std::string(today) +
                                                " [0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}"));  // UTC
    EXPECT_EQ(r.user, Which() == Backend::Sqlite ? "mario" : "dravel");
    EXPECT_EQ(std::tie(r.program, r.company, r.action, r.table, r.key, r.criterion, r.detail),
              std::tie(record.program, record.company, record.action, record.table, record.key,
                       record.criterion, record.detail));
}

TEST_P(History, ReadsNewestFirstWhatTheFilterSelects) {
    for (const auto& r : {Record(1, 5, 1), Record(1, 7, 2), Record(2, 5, 3), Record(1, 5, 4),
                          Record(1, std::nullopt, 5), Record(1, 5, 6)})
        db::WriteHistory(*conn_, r);
    // The first two records were written on an earlier day.
    conn_->Execute(
        "UPDATE HOST_STORICO SET STORICO_QUANDO = '2026-03-01 23:59:59.999' WHERE STORICO_CHIAVE "
        "<= 2");
    const std::pair<db::HistoryFilter, const char*> cases[] = {
        {{.company = 1}, "6,5,4,2,1"},
        {{.company = 1, .criterion = 5}, "6,4,1"},
        {{.company = 1, .since = "2026-03-01"}, "6,5,4,2,1"},
        {{.company = 1, .since = "2026-03-02"}, "6,5,4"},
        {{.company = 1, .criterion = 7, .since = "2026-03-02"}, ""},
        {{.company = 1, .until = "2026-03-01"}, "2,1"},
        {{.company = 1, .since = "2026-03-01", .until = "2026-03-01"}, "2,1"},
        {{.company = 1, .criterion = 5, .limit = 0}, ""},
        {{.company = 1, .since = "2024-02-29"}, "6,5,4,2,1"},
    };
    for (const auto& [filter, keys] : cases) EXPECT_EQ(Keys(*conn_, filter), keys) << keys;
    // A day that is not one is refused before anything is read.
    for (const char* day : {"2026-02-29", "2026-04-31", "2026-13-01", "2026-3-01", "01-03-2026",
                            "2026-03-01 10:00"}) {
        SCOPED_TRACE(day);
        EXPECT_THAT([&] { Keys(*conn_, {.company = 1, .since = day}); },
                    FailsWith(com::err::InvalidPropertyValue));
        EXPECT_THAT([&] { Keys(*conn_, {.company = 1, .until = day}); },
                    FailsWith(com::err::InvalidPropertyValue));
    }
}

// More records than a page: each read once, in order, up to the limit.
TEST_P(History, ReadsPageAfterPage) {
    constexpr int kRecords = 2345;
    ado::Transaction transaction(*conn_);
    for (int i = 1; i <= kRecords; ++i) db::WriteHistory(*conn_, Record(1, 5, i));
    transaction.Commit();
    for (const int64_t limit : {kRecords + 1, 2000, 1001}) {
        SCOPED_TRACE(limit);
        int next = kRecords;
        db::ReadHistory(*conn_, {.company = 1, .criterion = 5, .limit = limit},
                        [&](const db::HistoryRecord& r) { ASSERT_EQ(*r.key, next--); });
        EXPECT_EQ(kRecords - next, std::min<int64_t>(limit, kRecords));
    }
    // The next page goes on below the last record of the one before.
    int64_t last = 0;
    db::ReadHistory(*conn_, {.company = 1, .limit = 1500},
                    [&](const db::HistoryRecord& r) { last = r.id; });
    EXPECT_EQ(Keys(*conn_, {.company = 1, .before = last, .limit = 3}), "845,844,843");
}

DRAVEL_ON_EACH_BACKEND(History);

}  // namespace
}  // namespace dravel::testing
