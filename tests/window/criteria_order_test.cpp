// The order of criteria under random sequences of user actions on all seven posting types:
// after every action each type is numbered 1..n, and its criteria stand in the order a user
// expects (a model of the list kept beside the window).

#include <algorithm>
#include <map>
#include <random>

#include "tests/window/window_fixture.h"

namespace {

using test::Criterion;

constexpr int32_t kTypes[] = {0, 1, 4, 5, 6, 7, 8};
constexpr int16_t kUp = 0;
constexpr int16_t kDown = 1;

// Keys per posting type, in priority order.
using Order = std::map<int32_t, std::vector<int32_t>>;

class CriteriaOrder : public test::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        AddCriterion(kCompany, {1, 0, 1, "Primo", "CODA"});
        AddCriterion(kCompany, {2, 0, 2, "Secondo", "CODA"});
        AddCriterion(kCompany, {3, 4, 1, "Economico", "CODA"});
        AddCriterion(kCompany, {4, 8, 1, "Costo", "CODA"});
        AddCriterion(kCompany, {5, 8, 2, "Costo due", "CODA"});
        AddCriterion(kOtherCompany, {9, 4, 7, "Altra ditta", "CODA"});
        model_ = {{0, {1, 2}}, {4, {3}}, {8, {4, 5}}};
    }

    // The list as the grid shows it: types in ascending order, each in its model order.
    std::vector<int32_t> Lines() const {
        std::vector<int32_t> keys;
        for (const auto& [type, ids] : model_) keys.insert(keys.end(), ids.begin(), ids.end());
        return keys;
    }
    int32_t TypeOf(int32_t key) const {
        for (const auto& [type, ids] : model_)
            if (std::find(ids.begin(), ids.end(), key) != ids.end()) return type;
        throw std::logic_error("no criterion " + std::to_string(key));
    }
    void Remove(int32_t key) {
        auto& ids = model_[TypeOf(key)];
        ids.erase(std::find(ids.begin(), ids.end(), key));
    }
    int32_t CurrentKey() { return Frame()->Recordset()->Fields("MGA0_ID").Value().ToLong(); }

    // Saving a change: a new type puts the criterion at its end, a typed priority at that place.
    void ModelSave(int32_t key, std::optional<int32_t> newType, std::optional<int32_t> typed) {
        const int32_t type = TypeOf(key);
        auto& ids = model_[type];
        if (newType && *newType != type) {
            Remove(key);
            model_[*newType].push_back(key);
        } else if (typed) {
            auto at = std::find(ids.begin(), ids.end(), key);
            const auto from = at - ids.begin() + 1;
            const int32_t place = std::clamp(*typed, 1, static_cast<int32_t>(ids.size()));
            if (place != from) {
                ids.erase(at);
                ids.insert(ids.begin() + place - 1, key);
            }
        }
    }
    // A move exchanges the criterion with its neighbour in the list when both share a type.
    void ModelMove(int32_t key, int16_t direction) {
        auto lines = Lines();
        auto at = std::find(lines.begin(), lines.end(), key) - lines.begin();
        auto other = at + (direction == kUp ? -1 : 1);
        if (other < 0 || other >= static_cast<ptrdiff_t>(lines.size())) return;
        if (TypeOf(lines[other]) != TypeOf(key)) return;
        auto& ids = model_[TypeOf(key)];
        std::iter_swap(std::find(ids.begin(), ids.end(), key),
                       std::find(ids.begin(), ids.end(), lines[other]));
    }

    // The user's edit of the current row: maybe a new type, maybe a typed priority.
    std::pair<std::optional<int32_t>, std::optional<int32_t>> Edit(std::mt19937& random) {
        std::optional<int32_t> type, typed;
        if (random() % 2) {
            type = kTypes[random() % std::size(kTypes)];
            driver_.Choose(Window(), "CBO_TIPO", com::Variant(*type));
        }
        if (!type || random() % 2) {
            typed = static_cast<int32_t>(random() % 8);
            driver_.Type(Window(), "TXT_PRIORITA", std::to_string(*typed));
        }
        return {type, typed};
    }

    void RandomAction(std::mt19937& random) {
        auto lines = Lines();
        auto pickLine = [&] {
            const auto line = static_cast<int32_t>(random() % lines.size()) + 1;
            SelectLine(line);
            return lines[line - 1];
        };
        switch (lines.empty() ? 0 : random() % 5) {
            case 0: {
                Press("Nuovo");
                AddByDoubleClick("CODA");
                const int32_t type = kTypes[random() % std::size(kTypes)];
                driver_.Choose(Window(), "CBO_TIPO", com::Variant(type));
                driver_.Type(Window(), "TXT_PRIORITA", "1");  // ignored: a new row goes last
                Press("Conferma");
                model_[type].push_back(CurrentKey());
                break;
            }
            case 1: {
                const int32_t key = pickLine();
                auto [type, typed] = Edit(random);
                Press("Conferma");
                ModelSave(key, type, typed);
                break;
            }
            case 2: {
                const int32_t key = pickLine();
                Press("Elimina");
                Remove(key);
                break;
            }
            case 3: {
                const int32_t key = pickLine();
                const int16_t direction = random() % 2 ? kUp : kDown;
                PressToolbar("TBAR_PRIORITY", direction);
                ModelMove(key, direction);
                break;
            }
            case 4: {  // a move with the edit still pending: saved first, moved from there
                const int32_t key = pickLine();
                auto [type, typed] = Edit(random);
                const int16_t direction = random() % 2 ? kUp : kDown;
                PressToolbar("TBAR_PRIORITY", direction);
                ModelSave(key, type, typed);
                ModelMove(key, direction);
                break;
            }
        }
    }

    // The database against the model: every type numbered 1..n in the model's order.
    void ExpectModel() {
        std::vector<std::tuple<int32_t, int32_t, int32_t>> expected, stored;
        for (const auto& [type, ids] : model_)
            for (size_t i = 0; i < ids.size(); ++i)
                expected.emplace_back(type, static_cast<int32_t>(i + 1), ids[i]);
        for (const auto& c : Stored()) stored.emplace_back(c.type, c.priority, c.id);
        ASSERT_EQ(stored, expected);
        ASSERT_EQ(driver_.UntakenMessages(), 0u) << driver_.TakeMessage().text;
    }

    Order model_;
};

TEST_P(CriteriaOrder, EveryActionLeavesEachTypeNumberedInTheOrderTheUserGave) {
    Open();
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 random(seed);
        for (int step = 0; step < 40; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(step));
            RandomAction(random);
            ExpectModel();
            if (HasFatalFailure()) return;
        }
    }
    EXPECT_EQ(Stored(kOtherCompany), (std::vector<Criterion>{{9, 4, 7, "Altra ditta", "CODA"}}));
}

// The row's own type and priority change before the move: the move starts where the saved row
// now stands, and its neighbour there is the one that moves.
TEST_P(CriteriaOrder, AMoveWithAPendingTypeChangeMovesTheSavedRowInItsNewType) {
    Exec("DELETE FROM MGA0_QUINTAB");
    AddCriterion(kCompany, {1, 0, 1, "A", "CODA"});
    AddCriterion(kCompany, {2, 0, 2, "B", "CODA"});
    AddCriterion(kCompany, {3, 1, 1, "C", "CODA"});
    Open();
    SelectLine(2);
    driver_.Choose(Window(), "CBO_TIPO", com::Variant(1));
    PressToolbar("TBAR_PRIORITY", kUp);

    EXPECT_EQ(Stored(), (std::vector<Criterion>{
                            {1, 0, 1, "A", "CODA"},
                            {2, 1, 1, "B", "CODA"},
                            {3, 1, 2, "C", "CODA"},
                        }));
    EXPECT_EQ(CurrentKey(), 2);
}

// Data written before the window kept types numbered: a save renumbers the type, keeping the
// rank of a criterion whose priority was left alone, and a new criterion goes after all, even
// after one without a priority.
TEST_P(CriteriaOrder, ASaveKeepsTheRankOfAnUntouchedPriorityAmongGapsAndRepeats) {
    Exec("DELETE FROM MGA0_QUINTAB");
    AddCriterion(kCompany, {1, 5, 1, "A", "CODA"});
    AddCriterion(kCompany, {2, 5, 3, "B", "CODA"});
    AddCriterion(kCompany, {3, 5, 4, "C", "CODA"});
    AddCriterion(kCompany, {4, 6, 1, "D", "CODA"});
    AddCriterion(kCompany, {5, 6, 2, "E", "CODA"});
    AddCriterion(kCompany, {6, 6, 2, "F", "CODA"});
    Exec(
        "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_DESCR, "
        "MGA0_STRUTTURACAMPI) VALUES (7, 1, 7, 'Senza priorità', 'CODA')");
    Open();
    SelectLine(2);
    driver_.Type(Window(), "TXT_DESCR", "B rivisto");
    Press("Conferma");
    SelectLine(6);
    driver_.Type(Window(), "TXT_DESCR", "F rivisto");
    Press("Conferma");
    Press("Nuovo");
    AddByDoubleClick("CODA");
    driver_.Choose(Window(), "CBO_TIPO", com::Variant(7));
    Press("Conferma");

    auto rows = Stored();
    ASSERT_EQ(rows.size(), 8u);
    rows.back().id = 0;
    EXPECT_EQ(rows, (std::vector<Criterion>{
                        {1, 5, 1, "A", "CODA"},
                        {2, 5, 2, "B rivisto", "CODA"},
                        {3, 5, 3, "C", "CODA"},
                        {4, 6, 1, "D", "CODA"},
                        {5, 6, 2, "E", "CODA"},
                        {6, 6, 3, "F rivisto", "CODA"},
                        {7, 7, 1, "Senza priorità", "CODA"},
                        {0, 7, 2, "Codice articolo", "CODA"},
                    }));
}

// The grid lists a type's criteria in the order its renumbering keeps: without a priority first,
// equal priorities by key, whatever order the database stores its rows in.
TEST_P(CriteriaOrder, TheGridListsCriteriaInTheOrderTheRenumberingKeeps) {
    Exec("DELETE FROM MGA0_QUINTAB");
    AddCriterion(kCompany, {3, 0, 1, "C", "CODA"});
    AddCriterion(kCompany, {2, 0, 1, "B", "CODA"});
    Exec(
        "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_DESCR, "
        "MGA0_STRUTTURACAMPI) VALUES (1, 1, 0, 'A', 'CODA')");
    Open();
    EXPECT_EQ(GridLines(), (std::vector<std::vector<std::string>>{
                               {"", "Ven/Acq", "A"},
                               {"1", "Ven/Acq", "B"},
                               {"1", "Ven/Acq", "C"},
                           }));
}

DRAVEL_ON_EACH_BACKEND(CriteriaOrder);

}  // namespace
