// The determination rule on real databases: the walk that finds a posting's counter-account, and
// the findings of the check, each case built from a few rows; the findings' texts.

#include <gmock/gmock.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "determination/check.h"
#include "determination/report.h"
#include "determination/resolve.h"
#include "tests/ado/temp_database.h"
#include "window/criteria_statements.h"

namespace {

using determination::Step;

// A criterion: key, company, type, priority (nullopt for Null), structure (nullptr for Null).
struct CriterionRow {
    int32_t id, company, type;
    std::optional<int32_t> priority;
    const char* structure;
};
// A counter-account row: key, criterion, values in order (nullptr for Null), account ("" for
// Null), company.
struct MatrixRow {
    int32_t id, criterion;
    std::vector<const char*> values;
    const char* account;
    int32_t company = 1;
};

class Determination : public dravel::testing::OnEachBackend {
  protected:
    void Build(const std::vector<CriterionRow>& criteria, const std::vector<MatrixRow>& rows) {
        using determination::kMaxAttributes;
        auto orNull = [](const char* v) { return v ? com::Variant(v) : com::Variant::Null(); };
        conn_->Execute("DELETE FROM MGA1_MATRCPAR");
        conn_->Execute("DELETE FROM MGA0_QUINTAB");
        for (const auto& c : criteria) {
            AddCriterion(c.id, c.company, c.type, c.priority ? *c.priority : com::Variant::Null(),
                         "Criterio " + std::to_string(c.id), c.structure ? c.structure : "");
            if (!c.structure)
                conn_->ExecuteWith(
                    "UPDATE MGA0_QUINTAB SET MGA0_STRUTTURACAMPI = NULL WHERE MGA0_ID = ?", {c.id});
        }
        std::string columns, marks;
        for (size_t i = 1; i <= kMaxAttributes; ++i) {
            columns += ", " + determination::ValueColumn(i);
            marks += ", ?";
        }
        const std::string sql =
            "INSERT INTO MGA1_MATRCPAR (MGA1_ID, MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_CONTO" +
            columns + ") VALUES (?, ?, ?, ?" + marks + ")";
        for (auto r : rows) {
            r.values.resize(kMaxAttributes);
            std::vector<com::Variant> params{r.id, r.company, r.criterion,
                                             orNull(*r.account ? r.account : nullptr)};
            for (const char* v : r.values) params.push_back(orNull(v));
            conn_->ExecuteWith(sql, params);
        }
    }
};

// The criteria tried, as "key:outcome" in order, and the account found ("" for none).
std::string Summary(const determination::Walk& walk) {
    std::string text;
    for (const auto& step : walk.steps) {
        const char* outcome = step.outcome == Step::Outcome::Answered ? "answered"
                              : step.outcome == Step::Outcome::NoRow  ? "no-row"
                                                                      : "missing";
        text += std::to_string(step.criterion.id) + ":" + outcome + " ";
    }
    return text + "-> " + walk.Account().value_or("");
}

TEST_P(Determination, TriesTheCriteriaOfTheCompanyAndTypeInPriorityOrderUntilOneAnswers) {
    Build({{10, 1, 0, 1, "INDCCODA"},
           {5, 1, 0, 2, "CODA"},  // a smaller key, tried later
           {7, 1, 0, 3, ""},      // no attributes: any of its rows answers
           {20, 2, 0, 1, "CODA"},
           {30, 1, 1, 1, "CODA"}},
          {{1, 10, {"C1", "X"}, "A1"},
           {2, 10, {"X", "C1"}, "SWAPPED"},
           {3, 5, {"X"}, "A2"},
           {4, 5, {"W"}, ""},
           {5, 7, {}, "A3"},
           {6, 20, {"X"}, "OTHER", 2},
           {7, 30, {"X"}, "RESO"}});
    struct Case {
        int32_t type;
        determination::AttributeValues values;
        std::string walk;
    } cases[] = {
        {0, {{"INDC", "C1"}, {"CODA", "X"}}, "10:answered -> A1"},
        {0, {{"INDC", "X"}, {"CODA", "C1"}}, "10:answered -> SWAPPED"},
        {0, {{"INDC", "C9"}, {"CODA", "X"}}, "10:no-row 5:answered -> A2"},
        {0, {{"CODA", "X"}}, "10:missing 5:answered -> A2"},
        {0, {{"INDC", "C9"}, {"CODA", "Z"}}, "10:no-row 5:no-row 7:answered -> A3"},
        // The row that answers holds no account: the walk ends there without one.
        {0, {{"CODA", "W"}}, "10:missing 5:answered -> "},
        {1, {{"CODA", "X"}}, "30:answered -> RESO"},
        {1, {{"CODA", "Z"}}, "30:no-row -> "},
        {4, {{"CODA", "X"}}, "-> "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Summary(determination::Resolve(*conn_, 1, c.type, c.values)), c.walk)
            << "type " << c.type << ", " << c.values.size() << " values";
}

TEST_P(Determination, ChecksWhatCanNeverWorkOrNeverBeReached) {
    const struct {
        const char* name;
        std::vector<CriterionRow> criteria;
        std::vector<MatrixRow> rows;
        std::vector<std::string> findings;  // "kind key [earlier] [row]"
    } cases[] = {
        {"clean",
         {{10, 1, 0, 1, "INDC"}, {11, 1, 0, 2, "CODA"}},
         {{1, 10, {"C1"}, "A"}, {2, 11, {"X"}, "B"}},
         {}},
        {"a row an earlier criterion with fewer attributes always answers for",
         {{10, 1, 0, 1, "INDC"}, {11, 1, 0, 2, "CODAINDC"}},
         {{1, 10, {"C1"}, "A"}, {2, 11, {"X", "C1"}, "B"}, {3, 11, {"X", "C2"}, "C"}},
         {"unreachable-row 11 10 2"}},
        {"an earlier criterion without attributes answers for every row",
         {{10, 1, 0, 1, ""}, {11, 1, 0, 2, "CODA"}},
         {{1, 10, {}, "A"}, {2, 11, {"X"}, "B"}},
         {"unreachable-row 11 10 2"}},
        {"criteria of other types never answer first",
         {{10, 1, 0, 1, "INDC"}, {11, 1, 1, 1, "INDCCODA"}},
         {{1, 10, {"C1"}, "A"}, {2, 11, {"C1", "X"}, "B"}},
         {}},
        {"a criterion with no rows, and one with the structure of an earlier one",
         {{10, 1, 0, 1, "INDC"}, {11, 1, 0, 2, "INDC"}},
         {{1, 11, {"C1"}, "A"}},
         {"no-rows 10", "same-structure 11 10"}},
        {"rows whose criterion is gone or another company's",
         {{10, 1, 0, 1, "INDC"}, {20, 2, 0, 1, "INDC"}},
         {{1, 10, {"C1"}, "A"}, {2, 99, {"C1"}, "B"}, {3, 20, {"C1"}, "C"}},
         {"orphan-row 0 2", "orphan-row 20 3"}},
        // Tried at places 1, 2 and 3: the Null and the 1 are out of place, the 3 is not.
        {"priorities with a Null and a gap",
         {{10, 1, 0, std::nullopt, "INDC"}, {11, 1, 0, 1, "CODA"}, {12, 1, 0, 3, "FAMI"}},
         {{1, 10, {"C1"}, "A"}, {2, 11, {"X"}, "B"}, {3, 12, {"F"}, "C"}},
         {"priority-not-dense 10", "priority-not-dense 11"}},
    };
    for (const auto& c : cases) {
        Build(c.criteria, c.rows);
        std::vector<std::string> found;
        for (const auto& f : determination::Check(*conn_, 1)) {
            static const char* names[] = {"unreachable-row", "no-rows", "same-structure",
                                          "orphan-row", "priority-not-dense"};
            std::string text = names[static_cast<int>(f.kind)];
            text += " " + std::to_string(f.criterion ? f.criterion->id : 0);
            if (f.earlier) text += " " + std::to_string(f.earlier->id);
            if (f.row) text += " " + std::to_string(f.row);
            found.push_back(text);
        }
        EXPECT_EQ(found, c.findings) << c.name;
    }
}

// The window lists and renumbers a company's criteria in the order the walk tries them: by type,
// Null first, then by priority, equal priorities by key.
TEST_P(Determination, TheWindowListsAndRenumbersTheCriteriaInTheOrderTheyAreTried) {
    // Written out of key order, so that a server reading equal ones as stored must be told.
    const auto none = std::nullopt;
    const std::vector<CriterionRow> criteria = {{10, 1, 5, 2, "CODA"},   {9, 1, 0, 7, "CODA"},
                                                {5, 1, 0, none, "CODA"}, {8, 1, 0, 2, "CODA"},
                                                {1, 2, 0, 1, "CODA"},    {2, 1, 0, 2, "CODA"},
                                                {3, 1, 0, none, "CODA"}, {7, 1, 5, none, "CODA"},
                                                {4, 1, 0, 0, "CODA"},    {6, 1, 5, 2, "CODA"}};
    const std::string tried = "3 5 4 2 8 9 7 6 10";
    const auto dialect = conn_->SqlDialect();
    auto keys = [&](const std::string& sql) {
        std::string text;
        for (auto rs = conn_->Execute(sql); !rs->Eof(); rs->MoveNext())
            text += (text.empty() ? "" : " ") + rs->Fields("MGA0_ID").Value().ToText();
        return text;
    };
    const std::string byPriority =
        "SELECT MGA0_ID FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = 1 ORDER BY MGA0_FLGRESO, "
        "MGA0_INDPRIOR";

    Build(criteria, {});
    std::string walk;
    for (const auto& c : determination::LoadCriteria(*conn_, 1))
        walk += (walk.empty() ? "" : " ") + std::to_string(c.id);
    EXPECT_EQ(walk, tried);
    EXPECT_EQ(keys(dravel::CriteriaQuery(1, dialect)), tried);

    for (int32_t type : {0, 5})
        for (const auto& sql : dravel::RenumberStatements(dialect, 1, type)) conn_->Execute(sql);
    EXPECT_EQ(keys(byPriority), tried) << "renumbered";

    // The first of each type put first: the others keep their order after it.
    Build(criteria, {});
    for (auto [type, first] : {std::pair{0, 3}, {5, 7}})
        for (const auto& sql : dravel::PlaceStatements(dialect, 1, type, first, 1))
            conn_->Execute(sql);
    EXPECT_EQ(keys(byPriority), tried) << "placed";
}

DRAVEL_ON_EACH_BACKEND(Determination);

// The values a finding quotes stay as they are.
TEST(DeterminationReport, AQuotedDescriptionIsNeverTakenForAPlaceholder) {
    determination::Criterion earlier;
    earlier.priority = 1;
    earlier.description = "Sconto %1 e %2";
    determination::Finding f{determination::Finding::Kind::UnreachableRow, {}, earlier, 6, 0, 0};
    EXPECT_EQ(determination::FindingText(f, [](const std::string& text) { return text; }),
              "la riga 6 della matrice non è mai raggiunta: risponde prima 1. Sconto %1 e %2");
}

// The findings written one by one make the document a dump of it whole would give; a stored
// text that is not UTF-8 is replaced rather than refused by the JSON library.
TEST(DeterminationReport, TheJsonWrittenAsFoundIsOneDocument) {
    determination::Criterion c;
    c.description = "caff\xE8";
    const determination::Finding f{determination::Finding::Kind::NoRows, c, {}, 0, 0, 0};
    for (size_t n : {0, 1, 2}) {
        std::ostringstream out;
        auto writer = determination::FindingsJsonWriter(out, 3);
        for (size_t i = 0; i < n; ++i) writer->Add(f);
        writer->End();
        const auto document = nlohmann::json::parse(out.str());
        EXPECT_EQ(out.str(), document.dump(2) + "\n");
        EXPECT_EQ(document["findings"].size(), n);
        if (n) EXPECT_EQ(document["findings"][0]["criterion"]["description"], "caff\uFFFD");
    }
}

}  // namespace
