#pragma once
// Editors at work on one database (an SQLite file in a temporary folder, or a PostgreSQL
// database): each a dravel-editor child process with its own registry and log, its report
// (standard output) written to a file beside its errors; the starting criteria, the database as
// it stands, and the checks that hold after any mix of users' actions, finished or cut off.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>
#include <vector>

#include "db/history.h"
#include "tests/ado/temp_database.h"
#include "tests/reliability/editors/action_record.h"
#include "tests/support/process.h"

namespace editors {

// An editor's report: the actions it finished, and the one it had started when it ended.
struct Report {
    bool ready = false;  // the window opened
    std::vector<ActionRecord> finished;
    std::optional<ActionRecord> inFlight;
};

class EditorProcess {
  public:
    using Clock = std::chrono::steady_clock;

    EditorProcess(const std::string& connection, int32_t company, int32_t editor, uint32_t seed,
                  int32_t actions, const std::filesystem::path& folder)
        : own_((folder / ("editor-" + std::to_string(editor))).string()),
          process_({DRAVEL_EDITOR_PATH, connection, std::to_string(company), std::to_string(editor),
                    std::to_string(seed), std::to_string(actions)},
                   testing_support::CurrentEnvironment(
                       {"DRAVEL_REGISTRY=" + own_ + ".json", "DRAVEL_LOG=" + own_ + ".log"}),
                   own_ + ".out", own_ + ".err") {}

    bool Running() { return !process_.WaitFor(std::chrono::milliseconds(0)); }
    void Kill() { process_.Kill(); }
    // The exit status, or 128 + the signal that ended it.
    int Wait() { return process_.WaitFor(std::chrono::hours(1)).value_or(-1); }
    // Whether the editor opened its window before `deadline`.
    bool WaitReady(Clock::time_point deadline) {
        while (!Parse().ready && Running() && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return Parse().ready;
    }

    // The report so far; a line cut off by the kill is not part of it.
    Report Parse() const {
        Report report;
        std::istringstream lines(process_.Output());
        for (std::string line; std::getline(lines, line) && !lines.eof();) {
            auto json = nlohmann::json::parse(line);
            if (json.contains("ready")) {
                report.ready = true;
            } else if (auto record = json.get<ActionRecord>(); record.outcome.empty()) {
                report.inFlight = record;
            } else {
                report.finished.push_back(record);
                report.inFlight.reset();
            }
        }
        return report;
    }

    std::string Errors() const {
        std::ifstream in(own_ + ".err");
        return {std::istreambuf_iterator<char>(in), {}};
    }

  private:
    std::string own_;  // the path of its files but for their extension
    testing_support::Process process_;
};

// One row of MGA0_QUINTAB as the checks compare it.
struct Criterion {
    int32_t id, type, priority;
    std::string description, structure;
    bool operator==(const Criterion&) const = default;
};

// A company's criteria, by type, priority and key, and its counter-account rows per criterion.
struct CompanyState {
    std::vector<Criterion> criteria;
    std::map<int32_t, int32_t> matrixRows;
    bool operator==(const CompanyState&) const = default;
};

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Criterion, id, type, priority, description, structure)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(CompanyState, criteria, matrixRows)
inline std::ostream& operator<<(std::ostream& os, const Criterion& c) {
    return os << nlohmann::json(c).dump();
}
inline std::ostream& operator<<(std::ostream& os, const CompanyState& s) {
    return os << nlohmann::json(s).dump();
}

// One history record as the checks compare it: its action and the criterion's key.
struct Recorded {
    std::string action;
    int32_t key;
    bool operator==(const Recorded&) const = default;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Recorded, action, key)
inline std::ostream& operator<<(std::ostream& os, const Recorded& r) {
    return os << nlohmann::json(r).dump();
}

// The record an action that changed something leaves.
inline Recorded RecordOf(const ActionRecord& a) {
    return {a.action == "add"                        ? db::kActionNew
            : a.action == "delete"                   ? db::kActionDelete
            : a.action == "up" || a.action == "down" ? db::kActionMove
                                                     : db::kActionChange,
            a.id};
}

// Whether the priorities run 1..n in every type.
inline bool Dense(const CompanyState& state) {
    int32_t type = -1, expected = 0;
    for (const auto& c : state.criteria) {
        expected = c.type == type ? expected + 1 : 1;
        type = c.type;
        if (c.priority != expected) return false;
    }
    return true;
}

class EditorsTest : public dravel::testing::OnEachBackend {
  protected:
    static constexpr int32_t kCompany = 1;

    void SetUp() override {
        OnEachBackend::SetUp();
        conn_->Execute(
            "INSERT INTO HOST_DITTE VALUES (1, 'Ditta uno', 4, 1), (2, 'Ditta due', 2, 0)");
        db::InsertWithKeys(*conn_, "MGA0_QUINTAB", "MGA0_ID", [&] {
            conn_->Execute(
                "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, "
                "MGA0_INDPRIOR, MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES "
                "(1, 1, 0, 1, 'Primo', 'CODA'), (2, 1, 0, 2, 'Secondo', 'INDC'), "
                "(3, 1, 0, 3, 'Terzo', 'DOCU'), (4, 1, 0, 4, 'Quarto', 'CODAINDC'), "
                "(5, 1, 1, 1, 'Reso', 'CODA'), (6, 1, 1, 2, 'Reso cliente', 'INDC'), "
                "(7, 1, 4, 1, 'Economiche', 'CODA'), (8, 1, 5, 1, 'Patrimoniali', 'DOCU'), "
                "(9, 1, 6, 1, 'Magazzino', 'CODA'), (10, 1, 6, 2, 'Magazzino doc', 'DOCU'), "
                "(20, 2, 0, 1, 'Altra ditta', 'CODA')");
        });
        conn_->Execute(
            "INSERT INTO MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_CONTO) VALUES "
            "(1, 2, '60.01'), (1, 2, '60.01'), (1, 3, '60.01'), (1, 5, '60.01'), "
            "(1, 9, '60.01'), (1, 9, '60.01'), (1, 9, '60.01'), (2, 20, '60.01')");
        otherCompany_ = State(2);
    }

    CompanyState State(int32_t company = kCompany) {
        CompanyState state;
        auto rs = conn_->Execute(
            "SELECT MGA0_ID, MGA0_FLGRESO, COALESCE(MGA0_INDPRIOR, -1), COALESCE(MGA0_DESCR, ''), "
            "COALESCE(MGA0_STRUTTURACAMPI, '') FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = " +
            std::to_string(company) + " ORDER BY MGA0_FLGRESO, MGA0_INDPRIOR, MGA0_ID");
        auto field = [&](int i) { return rs->Fields(i).Value(); };
        for (; !rs->Eof(); rs->MoveNext())
            state.criteria.push_back({field(0).ToLong(), field(1).ToLong(), field(2).ToLong(),
                                      field(3).ToText(), field(4).ToText()});
        rs = conn_->Execute(
            "SELECT MGA1_ID_MGA0, COUNT(*) FROM MGA1_MATRCPAR WHERE "
            "MGA1_DITTA_CG18 = " +
            std::to_string(company) + " GROUP BY MGA1_ID_MGA0");
        for (; !rs->Eof(); rs->MoveNext()) state.matrixRows[field(0).ToLong()] = field(1).ToLong();
        return state;
    }

    // The company's history, oldest first: every editor's, or editor `editor`'s.
    std::vector<Recorded> History(int32_t editor = 0) {
        std::vector<Recorded> records;
        auto rs = conn_->Execute(
            "SELECT STORICO_AZIONE, STORICO_CHIAVE FROM HOST_STORICO WHERE STORICO_DITTA = " +
            std::to_string(kCompany) +
            (editor ? " AND STORICO_PROGRAMMA = '" + EditorProgram(editor) + "'" : "") +
            " ORDER BY STORICO_ID");
        for (; !rs->Eof(); rs->MoveNext())
            records.push_back({rs->Fields(0).Value().ToText(), rs->Fields(1).Value().ToLong()});
        return records;
    }

    // What holds whatever the users did: the database is whole, priorities are 1..n in every
    // company and type, no counter-account row outlives its criterion, the other company is
    // untouched. Returns the company's state.
    CompanyState CheckInvariants() {
        if (GetParam() == testing_support::Backend::Sqlite) {
            EXPECT_EQ(Scalar("PRAGMA integrity_check"), com::Variant("ok"));
        }
        // Every row reads back whole (on PostgreSQL the whole check): as many as are counted.
        const auto state = State();
        size_t matrix = 0;
        for (const auto& s : {state, otherCompany_})
            for (const auto& [id, n] : s.matrixRows) matrix += static_cast<size_t>(n);
        EXPECT_EQ(static_cast<size_t>(Scalar("SELECT COUNT(*) FROM MGA0_QUINTAB").ToLong()),
                  state.criteria.size() + otherCompany_.criteria.size());
        EXPECT_EQ(static_cast<size_t>(Scalar("SELECT COUNT(*) FROM MGA1_MATRCPAR").ToLong()),
                  matrix);
        EXPECT_TRUE(Dense(state)) << "priorities are not 1..n: " << state;
        for (const auto& [id, n] : state.matrixRows) {
            const auto criterion = id;  // clang 14 cannot capture a structured binding
            EXPECT_TRUE(std::any_of(state.criteria.begin(), state.criteria.end(),
                                    [&](const Criterion& c) { return c.id == criterion; }))
                << n << " counter-account rows of the deleted criterion " << id;
        }
        EXPECT_EQ(State(2), otherCompany_);
        return state;
    }

  private:
    CompanyState otherCompany_;
};

}  // namespace editors
