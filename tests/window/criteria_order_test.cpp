// The order of criteria under random sequences of user actions on all seven posting types: after
// every action each type is numbered 1..n, in the order a model of the list kept beside the
// window expects.

#include <algorithm>
#include <map>
#include <random>

#include "tests/window/window_fixture.h"

namespace {

constexpr int32_t kTypes[] = {0, 1, 4, 5, 6, 7, 8};
constexpr int16_t kUp = 0;
constexpr int16_t kDown = 1;

class CriteriaOrder : public test::WindowTest {
  protected:
    // The list as the grid shows it: types in ascending order, each in its model order.
    std::vector<int32_t> Lines() const {
        std::vector<int32_t> keys;
        for (const auto& [type, ids] : model_) keys.insert(keys.end(), ids.begin(), ids.end());
        return keys;
    }
    std::vector<int32_t>& IdsOfTypeOf(int32_t key) {
        for (auto& [type, ids] : model_)
            if (std::find(ids.begin(), ids.end(), key) != ids.end()) return ids;
        throw std::logic_error("no criterion " + std::to_string(key));
    }
    void Remove(int32_t key) {
        auto& ids = IdsOfTypeOf(key);
        ids.erase(std::find(ids.begin(), ids.end(), key));
    }
    int32_t CurrentKey() { return m_.Frame()->Recordset()->Fields("MGA0_ID").Value().ToLong(); }

    // A save: another type puts the criterion at its end, a typed priority at that place.
    void ModelSave(int32_t key, std::optional<int32_t> newType, std::optional<int32_t> typed) {
        auto& ids = IdsOfTypeOf(key);
        if (newType && &model_[*newType] != &ids) {
            Remove(key);
            model_[*newType].push_back(key);
        } else if (typed) {
            ids.erase(std::find(ids.begin(), ids.end(), key));
            auto place = std::clamp(*typed, 1, static_cast<int32_t>(ids.size()) + 1);
            ids.insert(ids.begin() + place - 1, key);
        }
    }
    // A move exchanges the criterion with its neighbour in the list when both share a type.
    void ModelMove(int32_t key, int16_t direction) {
        auto lines = Lines();
        auto at = std::find(lines.begin(), lines.end(), key) - lines.begin();
        auto other = at + (direction == kUp ? -1 : 1);
        if (other < 0 || other >= static_cast<ptrdiff_t>(lines.size())) return;
        auto& ids = IdsOfTypeOf(key);
        auto neighbour = std::find(ids.begin(), ids.end(), lines[other]);
        if (neighbour != ids.end())
            std::iter_swap(std::find(ids.begin(), ids.end(), key), neighbour);
    }

    // The user's edit of the current row: maybe a new type, maybe a typed priority.
    std::pair<std::optional<int32_t>, std::optional<int32_t>> Edit(std::mt19937& random) {
        std::optional<int32_t> type, typed;
        if (random() % 2) {
            type = kTypes[random() % std::size(kTypes)];
            driver_.Choose(m_.Window(), "CBO_TIPO", com::Variant(*type));
        }
        if (!type || random() % 2) {
            typed = static_cast<int32_t>(random() % 8);
            driver_.Type(m_.Window(), "TXT_PRIORITA", std::to_string(*typed));
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
                driver_.Choose(m_.Window(), "CBO_TIPO", com::Variant(type));
                driver_.Type(m_.Window(), "TXT_PRIORITA", "1");  // ignored: a new row goes last
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
            case 2:
                Remove(pickLine());
                Press("Elimina");
                break;
            default: {  // a move, maybe with an edit still pending: saved first, moved from there
                const int32_t key = pickLine();
                std::pair<std::optional<int32_t>, std::optional<int32_t>> edit;
                if (random() % 2) edit = Edit(random);
                const int16_t direction = random() % 2 ? kUp : kDown;
                PressToolbar("TBAR_PRIORITY", direction);
                ModelSave(key, edit.first, edit.second);
                ModelMove(key, direction);
            }
        }
    }

    // The database against the model: every type numbered 1..n in the model's order.
    std::string Expected() const {
        std::string rows;
        for (const auto& [type, ids] : model_)
            for (size_t i = 0; i < ids.size(); ++i)
                rows += (rows.empty() ? "" : ";") + std::to_string(type) + "|" +
                        std::to_string(i + 1) + "|" + std::to_string(ids[i]);
        return rows;
    }

    std::map<int32_t, std::vector<int32_t>> model_{{0, {1, 2}}, {4, {3}}, {8, {4, 5}}};
};

TEST_P(CriteriaOrder, EveryActionLeavesEachTypeNumberedInTheOrderTheUserGave) {
    Add("(1, 1, 0, 1, 'Primo', 'CODA'), (2, 1, 0, 2, 'Secondo', 'CODA'), "
        "(3, 1, 4, 1, 'Economico', 'CODA'), (4, 1, 8, 1, 'Costo', 'CODA'), "
        "(5, 1, 8, 2, 'Costo due', 'CODA'), (9, 2, 4, 7, 'Altra ditta', 'CODA')");
    m_.Open();
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 random(seed);
        for (int step = 0; step < 40; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(step));
            RandomAction(random);
            ASSERT_EQ(m_.Query("SELECT MGA0_FLGRESO, MGA0_INDPRIOR, MGA0_ID FROM MGA0_QUINTAB "
                               "WHERE MGA0_DITTA_CG18 = 1 ORDER BY 1, 2, 3"),
                      Expected());
            ASSERT_EQ(driver_.UntakenMessages(), 0u) << driver_.TakeMessage().text;
        }
    }
    EXPECT_EQ(m_.Query("SELECT MGA0_FLGRESO, MGA0_INDPRIOR FROM MGA0_QUINTAB WHERE MGA0_ID = 9"),
              "4|7");
}

DRAVEL_ON_EACH_BACKEND(CriteriaOrder);

}  // namespace
