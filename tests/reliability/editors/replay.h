#pragma once
// What the window's actions do to a company's criteria, written plainly: the state that a run of
// actions reported done must leave. Priorities are 1..n in each type before and after.

#include <algorithm>
#include <stdexcept>

#include "tests/reliability/editors/action_record.h"
#include "tests/reliability/editors/editors_fixture.h"

namespace editors {

namespace detail {

// The keys of a type in priority order.
inline std::vector<int32_t> TypeOrder(const CompanyState& state, int32_t type) {
    std::vector<const Criterion*> rows;
    for (const auto& c : state.criteria)
        if (c.type == type) rows.push_back(&c);
    std::sort(rows.begin(), rows.end(), [](auto a, auto b) { return a->priority < b->priority; });
    std::vector<int32_t> ids;
    for (auto r : rows) ids.push_back(r->id);
    return ids;
}

inline Criterion& Row(CompanyState& state, int32_t id) {
    auto at = std::find_if(state.criteria.begin(), state.criteria.end(),
                           [&](const Criterion& c) { return c.id == id; });
    if (at == state.criteria.end())
        throw std::runtime_error("the action names criterion " + std::to_string(id) +
                                 ", which the replay does not hold");
    return *at;
}

// Gives the type's criteria the places 1..n in `order`.
inline void Number(CompanyState& state, const std::vector<int32_t>& order) {
    for (size_t i = 0; i < order.size(); ++i)
        Row(state, order[i]).priority = static_cast<int32_t>(i + 1);
}

inline void Sort(CompanyState& state) {
    std::sort(state.criteria.begin(), state.criteria.end(), [](const auto& a, const auto& b) {
        return std::tie(a.type, a.priority, a.id) < std::tie(b.type, b.priority, b.id);
    });
}

}  // namespace detail

// Applies one action reported done (or assumed done, for the one in flight). An add's new key
// and structure come with it.
inline void Replay(CompanyState& state, const ActionRecord& a, const std::string& structure) {
    using namespace detail;
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
        Criterion& row = Row(state, a.id);
        row.description = a.description;
        auto order = TypeOrder(state, row.type);
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
    } else if (a.action == "delete") {
        if (a.answer == "no") return;
        const int32_t type = Row(state, a.id).type;
        std::erase_if(state.criteria, [&](const Criterion& c) { return c.id == a.id; });
        state.matrixRows.erase(a.id);
        Number(state, TypeOrder(state, type));
    } else {
        throw std::runtime_error("unknown action " + a.action);
    }
    Sort(state);
}

}  // namespace editors
