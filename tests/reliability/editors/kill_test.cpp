// An editor killed at any moment loses nothing it reported done and leaves nothing half done: the
// database is whole, priorities are 1..n, and it holds exactly the replay of the reported actions,
// or of those and the one in flight, and the history the records of those of them that changed
// something. The next editor goes on on the same database.

#include <cstdio>
#include <random>
#include <stdexcept>
#include <thread>

#include "tests/reliability/editors/editors_fixture.h"

namespace {

using editors::ActionRecord;
using editors::CompanyState;
using editors::Criterion;
using editors::EditorProcess;

Criterion& Row(CompanyState& state, int32_t id) {
    for (auto& c : state.criteria)
        if (c.id == id) return c;
    throw std::runtime_error("the action names criterion " + std::to_string(id) +
                             ", which the replay does not hold");
}

// The keys of a type in priority order.
std::vector<int32_t> TypeOrder(CompanyState state, int32_t type) {
    std::ranges::stable_sort(state.criteria, {}, &Criterion::priority);
    std::vector<int32_t> ids;
    for (const auto& c : state.criteria)
        if (c.type == type) ids.push_back(c.id);
    return ids;
}

// Gives the type's criteria the places 1..n in `order`.
void Number(CompanyState& state, const std::vector<int32_t>& order) {
    for (size_t i = 0; i < order.size(); ++i)
        Row(state, order[i]).priority = static_cast<int32_t>(i + 1);
}

// What the window's actions do to a company's criteria, written plainly: applies one action
// reported done (or assumed done, for the one in flight). An add's structure comes with it.
void Replay(CompanyState& state, const ActionRecord& a, const std::string& structure) {
    if (a.action == "add") {
        const auto order = TypeOrder(state, a.type);
        state.criteria.push_back(
            {a.id, a.type, static_cast<int32_t>(order.size()) + 1, a.description, structure});
    } else if (a.action == "edit") {
        Row(state, a.id).description = a.description;
    } else if (a.action == "type") {
        Criterion& row = Row(state, a.id);
        const int32_t from = row.type;
        row.description = a.description;
        row.type = a.type;
        row.priority = INT32_MAX;  // the end of its new type
        Number(state, TypeOrder(state, a.type));
        Number(state, TypeOrder(state, from));
    } else if (a.action == "priority") {
        Row(state, a.id).description = a.description;
        auto order = TypeOrder(state, Row(state, a.id).type);
        order.erase(std::find(order.begin(), order.end(), a.id));
        const auto place = std::clamp<size_t>(static_cast<size_t>(a.priority), 1, order.size() + 1);
        order.insert(order.begin() + static_cast<ptrdiff_t>(place - 1), a.id);
        Number(state, order);
    } else if (a.action == "up" || a.action == "down") {
        auto order = TypeOrder(state, Row(state, a.id).type);
        auto at = std::find(order.begin(), order.end(), a.id);
        // At the edge of its type the move only beeps.
        if (a.action == "up" && at != order.begin()) std::iter_swap(at, at - 1);
        if (a.action == "down" && at + 1 != order.end()) std::iter_swap(at, at + 1);
        Number(state, order);
    } else if (a.action == "delete" && a.answer != "no") {
        const int32_t type = Row(state, a.id).type;
        std::erase_if(state.criteria, [&](const Criterion& c) { return c.id == a.id; });
        state.matrixRows.erase(a.id);
        Number(state, TypeOrder(state, type));
    }
    std::sort(state.criteria.begin(), state.criteria.end(), [](const auto& x, const auto& y) {
        return std::tie(x.type, x.priority, x.id) < std::tie(y.type, y.priority, y.id);
    });
}

// The row an add wrote: found by key, or for the add in flight by its description (none when it
// wrote nothing, or a later action deleted it).
const Criterion* Added(const CompanyState& state, const ActionRecord& add) {
    for (const auto& c : state.criteria)
        if (add.id ? c.id == add.id : c.description == add.description) return &c;
    return nullptr;
}

class KilledEditor : public editors::EditorsTest {
  protected:
    // A server ends the session of a killed client on its own time, and may be finishing a commit
    // it had received: the database is read once no other session is left on it.
    void AwaitSessionsEnded() {
        if (GetParam() == testing_support::Backend::Sqlite) return;
        const auto deadline = EditorProcess::Clock::now() + std::chrono::seconds(30);
        while (Scalar("SELECT COUNT(*) FROM pg_stat_activity WHERE datname = current_database() "
                      "AND pid <> pg_backend_pid()")
                   .ToLong() > 0) {
            ASSERT_LT(EditorProcess::Clock::now(), deadline) << "the killed session goes on";
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
};

TEST_P(KilledEditor, LosesNothingReportedDoneAndLeavesNothingHalfDone) {
    const int kills = testing_support::Soak() ? 200 : 10;
    const uint32_t seed = std::random_device()();
    std::printf("kill test seed %u\n", seed);
    std::mt19937 random(seed);
    CompanyState expected = CheckInvariants();
    std::vector<editors::Recorded> recorded;
    auto replay = [&](const ActionRecord& action, const CompanyState& actual) {
        const auto* added = action.action == "add" ? Added(actual, action) : nullptr;
        const CompanyState was = expected;
        Replay(expected, action, added ? added->structure : "");
        if (expected != was) recorded.push_back(editors::RecordOf(action));
    };
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
            replay(action, actual);
            ++done;
        }
        if (actual != expected && report.inFlight) {
            auto action = *report.inFlight;
            const auto* added = action.action == "add" ? Added(actual, action) : nullptr;
            if (added) action.id = added->id;
            if (action.action != "add" || added) {
                replay(action, actual);
                ++inFlightDone;
            }
        }
        ASSERT_EQ(actual, expected)
            << "after kill " << k << " (seed " << seed << "), in flight: "
            << (report.inFlight ? nlohmann::json(*report.inFlight).dump() : "nothing");
        ASSERT_EQ(History(), recorded) << "after kill " << k << " (seed " << seed << ")";
    }
    std::printf("kill test summary: %d kills, %d actions reported done, %d found done in flight\n",
                kills, done, inFlightDone);
}

DRAVEL_ON_EACH_BACKEND(KilledEditor);

}  // namespace
