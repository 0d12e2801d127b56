// Several users at the criteria window of one company at once, each in a process of its own:
// every action takes effect or its user is told of a conflict or a busy database; nothing
// confirmed is lost and nothing refused is stored; priorities stay 1..n. Each editor's history
// records are those of its actions that took effect; on PostgreSQL the first editor works as a
// role that may only add to the history and read it, and its records name that role.

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <set>
#include <thread>

#include "tests/reliability/editors/editors_fixture.h"

namespace {

using editors::ActionRecord;
using editors::EditorProcess;

// A role with the rights README gives a server's ordinary users: it edits criteria and matrix
// rows, reads the host's tables, and may only insert into the history and read it.
constexpr const char* kHistoryRole = "dravel_editor";

void GrantHistoryRole(ado::Connection& owner) {
    owner.Execute(std::string("DO $$ BEGIN CREATE ROLE ") + kHistoryRole +
                  " LOGIN; EXCEPTION WHEN duplicate_object THEN NULL; END $$");
    for (const std::string rights : {
             "SELECT, INSERT, UPDATE, DELETE ON MGA0_QUINTAB, MGA1_MATRCPAR",
             "SELECT ON HOST_DITTE, HOST_MEDIA, HOST_VERSIONE",
             "SELECT, INSERT ON HOST_STORICO",
         })
        owner.Execute("GRANT " + rights + " TO " + kHistoryRole);
}

class ManyEditors : public editors::EditorsTest {
  protected:
    // Runs the editors to their end and returns every action they reported.
    std::vector<ActionRecord> RunEditors(int count, int actions, uint32_t seed) {
        std::string first = connectionString_;
        if (GetParam() == testing_support::Backend::Postgresql) {
            GrantHistoryRole(*conn_);
            first = testing_support::PostgresServer::As(first, kHistoryRole);
        }
        std::vector<std::unique_ptr<EditorProcess>> running;
        for (int e = 1; e <= count; ++e)
            running.push_back(std::make_unique<EditorProcess>(e == 1 ? first : connectionString_,
                                                              kCompany, e, seed + e, actions,
                                                              folder_.Path()));
        const auto deadline = EditorProcess::Clock::now() + std::chrono::minutes(30);
        // What is committed at any moment has its priorities 1..n: the database is read while
        // the editors work, as other users would see it.
        std::optional<editors::CompanyState> broken;
        while (std::any_of(running.begin(), running.end(), [](auto& e) { return e->Running(); }) &&
               EditorProcess::Clock::now() < deadline) {
            if (auto now = State(); !broken && !editors::Dense(now)) broken = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_FALSE(broken) << "priorities not 1..n while the editors worked: " << *broken;
        std::vector<ActionRecord> records;
        for (auto& editor : running) {
            editor->Kill();  // any still working hung past the deadline
            EXPECT_EQ(editor->Wait(), 0) << editor->Errors();
            auto report = editor->Parse();
            EXPECT_EQ(report.finished.size(), static_cast<size_t>(actions)) << editor->Errors();
            records.insert(records.end(), report.finished.begin(), report.finished.end());
        }
        return records;
    }

    // Checks that editor `editor`'s history records are, in order, those of its actions done (a
    // declined delete changes nothing, and a move may only have beeped at the edge of its type),
    // none of a refused one, and that they name `user`.
    void ExpectRecorded(const std::vector<ActionRecord>& records, int32_t editor,
                        const std::string& user) {
        const auto history = History(editor);
        size_t next = 0;
        for (const auto& a : records) {
            if (a.editor != editor || a.outcome != editors::outcome::Done ||
                (a.action == "delete" && a.answer == "no"))
                continue;
            if (next < history.size() && history[next] == editors::RecordOf(a))
                ++next;
            else if (a.action != "up" && a.action != "down")
                return ADD_FAILURE() << "no record of " << nlohmann::json(a).dump();
        }
        EXPECT_EQ(next, history.size()) << "a record of no action: " << history[next];
        EXPECT_EQ(Rows("SELECT DISTINCT STORICO_UTENTE FROM HOST_STORICO WHERE STORICO_PROGRAMMA "
                       "= '" +
                       editors::EditorProgram(editor) + "'"),
                  user);
    }
};

// The actions on a criterion, for a failure's message.
std::string ActionsOn(const std::vector<ActionRecord>& records, int32_t id) {
    std::string lines;
    for (const auto& a : records)
        if (a.id == id) lines += "\n  " + nlohmann::json(a).dump();
    return lines;
}

TEST_P(ManyEditors, EveryActionTakesEffectOrIsRefusedAndNothingConfirmedIsLost) {
    const int count = testing_support::Soak() ? 8 : 4, actions = testing_support::Soak() ? 500 : 50;
    const uint32_t seed = std::random_device()();
    std::printf("many editors seed %u\n", seed);
    const auto initial = State();

    const auto started = std::chrono::steady_clock::now();
    const auto records = RunEditors(count, actions, seed);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    const auto final = CheckInvariants();

    std::map<int32_t, const editors::Criterion*> rows;
    for (const auto& c : final.criteria) rows[c.id] = &c;
    std::set<int32_t> known, deleted;
    std::set<std::pair<int32_t, std::string>> replaced;  // key, description a confirmed action read
    for (const auto& c : initial.criteria) known.insert(c.id);
    auto deletes = [](const ActionRecord& a) { return a.action == "delete" && a.answer != "no"; };
    int conflicts = 0, busy = 0;
    for (const auto& a : records) {
        if (a.outcome == editors::outcome::Conflict || a.outcome == editors::outcome::Busy) {
            (a.outcome == editors::outcome::Conflict ? conflicts : busy)++;
            for (const auto& c : final.criteria)
                EXPECT_NE(c.description, a.description) << "refused, yet stored: " << a.message;
            continue;
        }
        ASSERT_EQ(a.outcome, editors::outcome::Done) << nlohmann::json(a).dump();
        if (a.action == "add") known.insert(a.id);
        if (deletes(a)) deleted.insert(a.id);
        if (!a.description.empty() || deletes(a)) replaced.insert({a.id, a.from});
    }
    for (const auto& a : records) {
        if (a.outcome != editors::outcome::Done || deleted.count(a.id)) continue;
        const auto row = rows.find(a.id);
        ASSERT_NE(row, rows.end()) << "confirmed, then lost:" << ActionsOn(records, a.id);
        // A confirmed description stays until a confirmed action that read it replaces it.
        EXPECT_TRUE(a.description.empty() || row->second->description == a.description ||
                    replaced.count({a.id, a.description}))
            << "confirmed, then overwritten unseen: " << a.description << ", now " << *row->second
            << ActionsOn(records, a.id);
    }
    for (const auto& c : final.criteria) {
        EXPECT_TRUE(known.count(c.id)) << "nobody confirmed adding " << c;
        EXPECT_FALSE(replaced.count({c.id, c.description}))
            << "a confirmed change is lost: " << c << ActionsOn(records, c.id);
        const auto before = initial.matrixRows.find(c.id);
        EXPECT_EQ(final.matrixRows.count(c.id) ? final.matrixRows.at(c.id) : 0,
                  before == initial.matrixRows.end() ? 0 : before->second)
            << "counter-account rows of " << c;
    }
    for (int32_t id : deleted)
        EXPECT_FALSE(rows.count(id)) << "confirmed deleted, yet stored:" << ActionsOn(records, id);
    const std::string user =
        Rows("SELECT DISTINCT STORICO_UTENTE FROM HOST_STORICO WHERE STORICO_PROGRAMMA <> '" +
             editors::EditorProgram(1) + "'");
    for (int32_t e = 1; e <= count; ++e)
        ExpectRecorded(
            records, e,
            e == 1 && GetParam() == testing_support::Backend::Postgresql ? kHistoryRole : user);

    const double total = static_cast<double>(records.size());
    std::printf(
        "many editors summary: %d editors, %d actions each, %zu actions, %d conflicts, %d busy, "
        "%.1f%% refused, %.1f actions/s, %.1f s\n",
        count, actions, records.size(), conflicts, busy,
        total > 0 ? 100.0 * (conflicts + busy) / total : 0.0, total / took.count(), took.count());
}

DRAVEL_ON_EACH_BACKEND(ManyEditors);

}  // namespace
