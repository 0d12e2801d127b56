// An editor killed at any moment loses nothing it reported done and leaves nothing half done: the
// database is whole, priorities are 1..n, and it holds exactly the replay of the reported actions,
// or of those and the one in flight. The next editor goes on on the same database.

#include <cstdio>
#include <random>
#include <thread>

#include "tests/reliability/editors/replay.h"

namespace {

using editors::CompanyState;
using editors::EditorProcess;

class KilledEditor : public editors::EditorsTest {
  protected:
    // A server ends the session of a killed client on its own time, and may be finishing a commit
    // it had received: the database is read once no other session is left on it.
    void AwaitSessionsEnded() {
        if (GetParam() == testing_support::Backend::Sqlite) return;
        const auto deadline = EditorProcess::Clock::now() + std::chrono::seconds(30);
        while (conn_
                   ->Execute("SELECT COUNT(*) FROM pg_stat_activity WHERE datname = "
                             "current_database() AND pid <> pg_backend_pid()")
                   ->Fields(0)
                   .Value()
                   .ToLong() > 0) {
            ASSERT_LT(EditorProcess::Clock::now(), deadline) << "the killed session goes on";
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
};

// The structure of the row an add wrote, as the tree composed it: found by key, or for the add in
// flight by its description (none when it wrote nothing, or a later action deleted it).
const editors::Criterion* Added(const CompanyState& state, const editors::ActionRecord& add) {
    for (const auto& c : state.criteria)
        if (add.id ? c.id == add.id : c.description == add.description) return &c;
    return nullptr;
}

TEST_P(KilledEditor, LosesNothingReportedDoneAndLeavesNothingHalfDone) {
    const int kills = testing_support::Soak() ? 200 : 10;
    const uint32_t seed = std::random_device()();
    std::printf("kill test seed %u\n", seed);
    std::mt19937 random(seed);
    CompanyState expected = CheckInvariants();
    int done = 0, inFlightDone = 0;
    for (int k = 1; k <= kills && !HasFailure(); ++k) {
        EditorProcess child(connectionString_, kCompany, k, static_cast<uint32_t>(random()), 0,
                            folder_.Path());
        ASSERT_TRUE(child.WaitReady(EditorProcess::Clock::now() + std::chrono::seconds(60)))
            << child.Errors();
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution(0, 150)(random)));
        child.Kill();
        ASSERT_EQ(child.Wait(), 128 + SIGKILL) << child.Errors();
        ASSERT_NO_FATAL_FAILURE(AwaitSessionsEnded());

        const auto report = child.Parse();
        const CompanyState actual = CheckInvariants();
        for (auto action : report.finished) {
            ASSERT_EQ(action.outcome, editors::outcome::Done)
                << "kill " << k << ", seed " << seed << ": " << nlohmann::json(action).dump();
            const auto* added = action.action == "add" ? Added(actual, action) : nullptr;
            editors::Replay(expected, action, added ? added->structure : "");
            ++done;
        }
        if (actual != expected && report.inFlight) {
            auto action = *report.inFlight;
            const auto* added = action.action == "add" ? Added(actual, action) : nullptr;
            if (added) action.id = added->id;
            if (action.action != "add" || added) {
                editors::Replay(expected, action, added ? added->structure : "");
                ++inFlightDone;
            }
        }
        ASSERT_EQ(actual, expected)
            << "after kill " << k << " (seed " << seed << "), in flight: "
            << (report.inFlight ? nlohmann::json(*report.inFlight).dump() : "nothing");
    }
    std::printf("kill test summary: %d kills, %d actions reported done, %d found done in flight\n",
                kills, done, inFlightDone);
}

DRAVEL_ON_EACH_BACKEND(KilledEditor);

}  // namespace
