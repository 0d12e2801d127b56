#include "determination/resolve.h"

#include <set>
#include <unordered_map>

#include "platform/ado/recordset.h"

namespace determination {

namespace {

// The first matrix row (smallest key) of each criterion that holds the values looked for.
using Answers = std::unordered_map<int32_t, std::optional<std::string>>;

// Finds the answers of every criterion of the walk with one structure in one statement, rather
// than one statement per criterion: a type may have thousands of criteria and few structures.
void FindAnswers(ado::Connection& connection, const Walk& walk, const Step& step,
                 Answers& answers) {
    std::string sql =
        "SELECT m.MGA1_ID_MGA0, m.MGA1_CONTO FROM MGA1_MATRCPAR m "
        "JOIN MGA0_QUINTAB q ON q.MGA0_ID = m.MGA1_ID_MGA0 "
        "WHERE q.MGA0_DITTA_CG18 = ? AND q.MGA0_FLGRESO = ? "
        "AND COALESCE(q.MGA0_STRUTTURACAMPI, '') = ? AND m.MGA1_DITTA_CG18 = ?";
    std::vector<com::Variant> params{com::Variant(walk.company), com::Variant(walk.type),
                                     com::Variant(step.criterion.structureText),
                                     com::Variant(walk.company)};
    for (size_t i = 0; i < step.lookedFor.size(); ++i) {
        sql += " AND m." + ValueColumn(i + 1) + " = ?";
        params.emplace_back(*step.lookedFor[i].second);
    }
    sql += " ORDER BY m.MGA1_ID";
    for (auto rs = connection.ExecuteWith(sql, params); !rs->Eof(); rs->MoveNext()) {
        auto account = rs->Fields(1).Value();
        answers.try_emplace(rs->Fields(0).Value().ToLong(),
                            account.IsNull() ? std::nullopt : std::optional(account.ToText()));
    }
}

// The structure's attributes with the values given for them; false when one has none.
bool LookFor(Step& step, const AttributeValues& values) {
    bool complete = true;
    for (const auto& code : step.criterion.structure) {
        auto given = values.find(code);
        if (given == values.end()) complete = false;
        step.lookedFor.emplace_back(
            code, given == values.end() ? std::nullopt : std::optional(given->second));
    }
    return complete;
}

}  // namespace

const Step* Walk::Answer() const {
    if (steps.empty() || steps.back().outcome != Step::Outcome::Answered) return nullptr;
    return &steps.back();
}

std::optional<std::string> Walk::Account() const {
    const Step* answer = Answer();
    if (!answer || !answer->account || answer->account->empty()) return std::nullopt;
    return answer->account;
}

Walk Resolve(ado::Connection& connection, int32_t company, int32_t type,
             const AttributeValues& values) {
    Walk walk{company, type, values, {}};
    std::vector<bool> asks;  // whether the step's criterion can answer at all
    for (auto& criterion : LoadCriteria(connection, company, type)) {
        Step& step = walk.steps.emplace_back();
        step.criterion = std::move(criterion);
        const bool complete = LookFor(step, values);
        step.outcome = complete ? Step::Outcome::NoRow : Step::Outcome::MissingValue;
        // More attributes than the matrix has values for: no row can hold them.
        asks.push_back(complete && step.lookedFor.size() <= kMaxAttributes);
    }
    Answers answers;
    std::set<std::string> asked;
    for (size_t i = 0; i < walk.steps.size(); ++i)
        if (asks[i] && asked.insert(walk.steps[i].criterion.structureText).second)
            FindAnswers(connection, walk, walk.steps[i], answers);
    // The walk ends at the first criterion that answers.
    for (size_t i = 0; i < walk.steps.size(); ++i) {
        auto answer = asks[i] ? answers.find(walk.steps[i].criterion.id) : answers.end();
        if (answer == answers.end()) continue;
        walk.steps[i].outcome = Step::Outcome::Answered;
        walk.steps[i].account = answer->second;
        walk.steps.resize(i + 1);
        break;
    }
    return walk;
}

}  // namespace determination
