#pragma once
// Editors at work on one database (an SQLite file in a temporary folder, or a PostgreSQL
// database): the starting criteria, the database as it stands, and the checks that hold after
// any mix of users' actions, finished or cut off.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/ado/temp_database.h"
#include "tests/reliability/editors/editor_process.h"

namespace editors {

// One row of MGA0_QUINTAB as the checks compare it.
struct Criterion {
    int32_t id;
    int32_t type;
    int32_t priority;
    std::string description;
    std::string structure;
    bool operator==(const Criterion&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Criterion& c) {
    return os << "{" << c.id << ", " << c.type << ", " << c.priority << ", \"" << c.description
              << "\", \"" << c.structure << "\"}";
}

// A company's criteria, by type, priority and key, and its counter-account rows per criterion.
struct CompanyState {
    std::vector<Criterion> criteria;
    std::map<int32_t, int32_t> matrixRows;
    bool operator==(const CompanyState&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const CompanyState& s) {
    for (const auto& c : s.criteria) os << "\n  " << c;
    for (const auto& [id, n] : s.matrixRows) os << "\n  matrix " << id << ": " << n;
    return os;
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
    static constexpr int32_t kOtherCompany = 2;

    void SetUp() override {
        OnEachBackend::SetUp();
        Exec("INSERT INTO HOST_DITTE VALUES (1, 'Ditta uno', 4, 1), (2, 'Ditta due', 2, 0)");
        db::InsertWithKeys(*conn_, "MGA0_QUINTAB", "MGA0_ID", [&] {
            Exec(
                "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, "
                "MGA0_INDPRIOR, MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES "
                "(1, 1, 0, 1, 'Primo', 'CODA'), (2, 1, 0, 2, 'Secondo', 'INDC'), "
                "(3, 1, 0, 3, 'Terzo', 'DOCU'), (4, 1, 0, 4, 'Quarto', 'CODAINDC'), "
                "(5, 1, 1, 1, 'Reso', 'CODA'), (6, 1, 1, 2, 'Reso cliente', 'INDC'), "
                "(7, 1, 4, 1, 'Economiche', 'CODA'), (8, 1, 5, 1, 'Patrimoniali', 'DOCU'), "
                "(9, 1, 6, 1, 'Magazzino', 'CODA'), (10, 1, 6, 2, 'Magazzino doc', 'DOCU'), "
                "(20, 2, 0, 1, 'Altra ditta', 'CODA')");
        });
        Exec(
            "INSERT INTO MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_CONTO) VALUES "
            "(1, 2, '60.01'), (1, 2, '60.01'), (1, 3, '60.01'), (1, 5, '60.01'), "
            "(1, 9, '60.01'), (1, 9, '60.01'), (1, 9, '60.01'), (2, 20, '60.01')");
        otherCompany_ = State(kOtherCompany);
    }

    void Exec(const std::string& sql) { conn_->Execute(sql); }

    CompanyState State(int32_t company = kCompany) {
        CompanyState state;
        const std::string where = " WHERE MGA0_DITTA_CG18 = " + std::to_string(company);
        auto rs = conn_->Execute(
            "SELECT MGA0_ID, MGA0_FLGRESO, MGA0_INDPRIOR, MGA0_DESCR, MGA0_STRUTTURACAMPI FROM "
            "MGA0_QUINTAB" +
            where + " ORDER BY MGA0_FLGRESO, MGA0_INDPRIOR, MGA0_ID");
        auto text = [&](int i) {
            auto v = rs->Fields(i).Value();
            return v.IsNull() ? std::string() : v.ToText();
        };
        auto number = [&](int i) {
            auto v = rs->Fields(i).Value();
            return v.IsNull() ? -1 : v.ToLong();
        };
        for (; !rs->Eof(); rs->MoveNext())
            state.criteria.push_back({number(0), number(1), number(2), text(3), text(4)});
        auto matrix = conn_->Execute(
            "SELECT MGA1_ID_MGA0, COUNT(*) FROM MGA1_MATRCPAR WHERE MGA1_DITTA_CG18 = " +
            std::to_string(company) + " GROUP BY MGA1_ID_MGA0");
        for (; !matrix->Eof(); matrix->MoveNext())
            state.matrixRows[matrix->Fields(0).Value().ToLong()] =
                matrix->Fields(1).Value().ToLong();
        return state;
    }

    // What holds whatever the users did: the database is whole, priorities are 1..n in every
    // company and type, no counter-account row outlives its criterion, the other company is
    // untouched. Returns the company's state.
    CompanyState CheckInvariants() {
        if (GetParam() == testing_support::Backend::Sqlite) {
            auto check = conn_->Execute("PRAGMA integrity_check");
            EXPECT_EQ(check->Fields(0).Value().ToText(), "ok");
        }
        // Every row reads back whole (on PostgreSQL the whole check): as many as are counted.
        const auto state = State();
        auto count = [&](const std::string& table) {
            return conn_->Execute("SELECT COUNT(*) FROM " + table)->Fields(0).Value().ToLong();
        };
        size_t matrix = 0;
        for (const auto& [id, n] : state.matrixRows) matrix += static_cast<size_t>(n);
        for (const auto& [id, n] : otherCompany_.matrixRows) matrix += static_cast<size_t>(n);
        EXPECT_EQ(static_cast<size_t>(count("MGA0_QUINTAB")),
                  state.criteria.size() + otherCompany_.criteria.size());
        EXPECT_EQ(static_cast<size_t>(count("MGA1_MATRCPAR")), matrix);

        EXPECT_TRUE(Dense(state)) << "priorities are not 1..n:" << state;
        for (const auto& [id, n] : state.matrixRows) {
            const auto criterion = id;  // clang 14 cannot capture a structured binding
            EXPECT_TRUE(std::any_of(state.criteria.begin(), state.criteria.end(),
                                    [&](const Criterion& c) { return c.id == criterion; }))
                << n << " counter-account rows of the deleted criterion " << id;
        }
        EXPECT_EQ(State(kOtherCompany), otherCompany_);
        return state;
    }

  private:
    CompanyState otherCompany_;
};

}  // namespace editors
