// The determination rule on real databases: the walk that finds a posting's counter-account, the
// findings of the check, each case built from a few rows, and the order of criteria the walk
// shares with the window's statements; the texts of the findings and of a walk.

#include <gmock/gmock.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "determination/check.h"
#include "determination/report.h"
#include "determination/resolve.h"
#include "platform/text/text.h"
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
        auto orNull = [](const char* v) { return v ? com::Variant(v) : com::Variant::Null(); };
        conn_->Execute("DELETE FROM MGA1_MATRCPAR");
        conn_->Execute("DELETE FROM MGA0_QUINTAB");
        for (const auto& c : criteria)
            AddCriterion(c.id, c.company, c.type, c.priority ? *c.priority : com::Variant::Null(),
                         "Criterio " + std::to_string(c.id), orNull(c.structure));
        for (const auto& r : rows) {
            std::string marks, sql =
                                   "INSERT INTO MGA1_MATRCPAR (MGA1_ID, MGA1_DITTA_CG18, "
                                   "MGA1_ID_MGA0, MGA1_CONTO";
            std::vector<com::Variant> params{r.id, r.company, r.criterion,
                                             orNull(*r.account ? r.account : nullptr)};
            for (size_t i = 0; i < r.values.size(); ++i) {
                sql += ", " + determination::ValueColumn(i + 1);
                marks += ", ?";
                params.push_back(orNull(r.values[i]));
            }
            conn_->ExecuteWith(sql + ") VALUES (?, ?, ?, ?" + marks + ")", params);
        }
    }
};

// A structure of ten attributes, the most a matrix row holds values for, and a row's values.
constexpr const char* kTen = "AT00AT01AT02AT03AT04AT05AT06AT07AT08AT09";
const std::vector<const char*> kTenValues = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

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
           {30, 1, 1, 1, "CODA"},
           {40, 1, 5, 1, kTen},
           {41, 1, 5, 2, nullptr}},  // a Null structure: no attributes
          {{1, 10, {"C1", "X"}, "A1"},
           {2, 10, {"X", "C1"}, "SWAPPED"},
           {3, 5, {"X"}, "A2"},
           {4, 5, {"W"}, ""},
           {5, 7, {}, "A3"},
           {6, 20, {"X"}, "OTHER", 2},
           {7, 30, {"X"}, "RESO"},
           {8, 10, {"C2", "X"}, "FOREIGN", 2},  // another company's row on this one's criterion
           {10, 5, {"Y"}, "SECOND"},
           {9, 5, {"Y"}, "FIRST"},  // written later, but the smaller key
           {11, 40, kTenValues, "TEN"},
           {12, 41, {}, "NO-STRUCTURE"}});
    determination::AttributeValues ten;
    for (size_t i = 0; i < kTenValues.size(); ++i)
        ten[std::string(kTen + 4 * i, 4)] = kTenValues[i];
    const std::tuple<int32_t, determination::AttributeValues, const char*> cases[] = {
        {0, {{"INDC", "C1"}, {"CODA", "X"}}, "10:answered -> A1"},
        {0, {{"INDC", "X"}, {"CODA", "C1"}}, "10:answered -> SWAPPED"},
        {0, {{"INDC", "C9"}, {"CODA", "X"}}, "10:no-row 5:answered -> A2"},
        {0, {{"CODA", "X"}}, "10:missing 5:answered -> A2"},
        {0, {{"INDC", "C9"}, {"CODA", "Z"}}, "10:no-row 5:no-row 7:answered -> A3"},
        // The row that answers holds no account: the walk ends there without one.
        {0, {{"CODA", "W"}}, "10:missing 5:answered -> "},
        {1, {{"CODA", "X"}}, "30:answered -> RESO"},
        {4, {{"CODA", "X"}}, "-> "},
        // Rows of another company, two rows with the same values, ten attributes, a Null structure.
        {0, {{"INDC", "C2"}, {"CODA", "X"}}, "10:no-row 5:answered -> A2"},
        {0, {{"CODA", "Y"}}, "10:missing 5:answered -> FIRST"},
        {5, ten, "40:answered -> TEN"},
        {5, {{"AT00", "0"}}, "40:missing 41:answered -> NO-STRUCTURE"},
    };
    for (const auto& [type, values, walk] : cases)
        EXPECT_EQ(Summary(determination::Resolve(*conn_, 1, type, values)), walk)
            << "type " << type << ", " << values.size() << " values";
}

TEST_P(Determination, ChecksWhatCanNeverWorkOrNeverBeReached) {
    // A case's name, criteria, matrix rows and findings, each written
    // "kind key [earlier] [row] [place] [-missing] [+beyond] [[values:account]]".
    const std::tuple<const char*, std::vector<CriterionRow>, std::vector<MatrixRow>,
                     std::vector<std::string>>
        cases[] = {
            {"clean: a later criterion with fewer attributes",
             {{10, 1, 0, 1, "INDCCODA"}, {11, 1, 0, 2, "CODA"}},
             {{1, 10, {"C1", "X"}, "A"}, {2, 11, {"X"}, "B"}},
             {}},
            {"a row an earlier criterion with fewer attributes always answers for",
             {{10, 1, 0, 1, "INDC"}, {11, 1, 0, 2, "CODAINDC"}},
             {{1, 10, {"C1"}, "A"}, {2, 11, {"X", "C1"}, "B"}, {3, 11, {"X", "C2"}, "C"}},
             {"unreachable-row 11 10 2 [X,C1:B]"}},
            {"an earlier criterion without attributes answers for every row",
             {{10, 1, 0, 1, ""}, {11, 1, 0, 2, "CODA"}},
             {{1, 10, {}, "A"}, {2, 11, {"X"}, "B"}},
             {"unreachable-row 11 10 2 [X:B]"}},
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
             {"orphan-row 99 2", "orphan-row 20 3"}},
            {"a row of another company on a criterion of the company never answers",
             {{10, 1, 0, 1, "INDC"}, {11, 1, 0, 2, "INDCCODA"}},
             {{1, 10, {"C1"}, "A", 2}, {2, 11, {"C1", "X"}, "B"}},
             {"no-rows 10"}},
            // Their structures' own order is not the order they are tried in.
            {"several earlier criteria answer for a row: the first tried is named",
             {{10, 1, 0, 1, "FAMI"},
              {11, 1, 0, 2, "CODA"},
              {12, 1, 0, 3, "INDC"},
              {13, 1, 0, 4, "INDCCODAFAMI"}},
             {{1, 10, {"F"}, "A"},
              {2, 11, {"X"}, "B"},
              {3, 12, {"C1"}, "C"},
              {4, 13, {"C1", "X", "F"}, "D"}},
             {"unreachable-row 13 10 4 [C1,X,F:D]"}},
            {"an earlier criterion of ten attributes in another order",
             {{10, 1, 0, 1, kTen}, {11, 1, 0, 2, "AT09AT08AT07AT06AT05AT04AT03AT02AT01AT00"}},
             {{1, 10, kTenValues, "A"},
              {2, 11, {"9", "8", "7", "6", "5", "4", "3", "2", "1", "0"}, "B"},
              {3, 11, kTenValues, "C"}},
             {"unreachable-row 11 10 2 [9,8,7,6,5,4,3,2,1,0:B]"}},
            // An empty value is one the row lacks, yet a value to compare; a Null one is never
            // answered, nor answered for.
            {"values left empty or Null",
             {{10, 1, 0, 1, "INDC"}, {11, 1, 0, 2, "CODA"}, {12, 1, 0, 3, "INDCCODA"}},
             {{1, 10, {nullptr}, "A"},
              {2, 11, {""}, "B"},
              {3, 12, {"", "X"}, "C"},
              {4, 12, {"Z", nullptr}, "D"}},
             {"off-structure 10 1 -INDC [:A]", "off-structure 11 2 -CODA [:B]",
              "off-structure 12 3 -INDC [,X:C]", "off-structure 12 4 -CODA [Z,:D]"}},
            // Blanks are no value, inside the structure or past it.
            {"rows that do not fit their criterion's structure",
             {{10, 1, 0, 1, "INDCCODA"}},
             {{1, 10, {" ", "X"}, "A"},
              {2, 10, {"C1", "X", nullptr, "Z"}, "B"},
              {3, 10, {"C2", "X", " "}, ""}},
             {"off-structure 10 1 -INDC [ ,X:A]", "off-structure 10 2 +4 [C1,X:B]"}},
            // Tried at places 1, 2 and 3: the Null and the 1 are out of place, the 3 is not.
            {"priorities with a Null and a gap",
             {{10, 1, 0, std::nullopt, "INDC"}, {11, 1, 0, 1, "CODA"}, {12, 1, 0, 3, "FAMI"}},
             {{1, 10, {"C1"}, "A"}, {2, 11, {"X"}, "B"}, {3, 12, {"F"}, "C"}},
             {"priority-not-dense 10 1", "priority-not-dense 11 2"}},
        };
    for (const auto& [name, criteria, rows, findings] : cases) {
        Build(criteria, rows);
        std::vector<std::string> found;
        for (const auto& f : determination::Check(*conn_, 1)) {
            static const char* names[] = {"unreachable-row",    "no-rows",
                                          "same-structure",     "orphan-row",
                                          "priority-not-dense", "off-structure"};
            std::string text = names[static_cast<int>(f.kind)];
            text += " " + std::to_string(f.criterion ? f.criterion->id : f.rowCriterion);
            if (f.earlier) text += " " + std::to_string(f.earlier->id);
            if (f.row) text += " " + std::to_string(f.row);
            if (f.expectedPriority) text += " " + std::to_string(f.expectedPriority);
            for (const auto& code : f.missing) text += " -" + code;
            if (f.valueBeyond) text += " +" + std::to_string(f.valueBeyond);
            if (f.row && f.criterion && f.kind != determination::Finding::Kind::OrphanRow)
                text += " [" + txt::Join(f.values, ",") + ":" + f.account + "]";
            found.push_back(text);
        }
        EXPECT_EQ(found, findings) << name;
    }
}

// By type, Null first, then by priority, equal priorities by key.
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

determination::Criterion Criterion(int32_t id, int32_t company, int32_t type,
                                   std::optional<int32_t> priority, std::string description) {
    return {id, company, type, priority, std::move(description), "", {}};
}

const determination::Translate kIdentity = [](const std::string& text) { return text; };

// A finding without a criterion has no label; a description is quoted as it stands, never taken
// for a placeholder.
TEST(DeterminationReport, EachFindingIsALineOfItsCriterionAndWhatIsWrong) {
    using Kind = determination::Finding::Kind;
    auto cliente = Criterion(11, 1, 0, 2, "Cliente");
    cliente.structure = {"INDC", "CODA"};
    const auto earlier = Criterion(10, 1, 0, 1, "Sconto %1 e %2");
    const std::string label = "Documenti Vendite / Acquisti, 2. Cliente: ";
    const std::pair<std::vector<determination::Finding>, std::string> cases[] = {
        {{}, "Nessun problema trovato\n"},
        {{{Kind::OffStructure, cliente, {}, 6, 0, 0, {"", "X\n"}, "", {"INDC"}, 10}},
         label + "la riga 6 della matrice (INDC= CODA=X\\n, senza conto) non segue la struttura: "
                 "manca il valore di INDC; ha un valore in MGA1_VALORE10, oltre la struttura\n"},
        {{{Kind::NoRows, cliente, {}, 0, 0, 0}, {Kind::SameStructure, cliente, earlier, 0, 0, 0}},
         label + "nessuna riga nella matrice: non risponde mai\n" + label +
             "stessa struttura di 1. Sconto %1 e %2\n"},
        {{{Kind::OrphanRow, {}, {}, 7, 99, 0}},
         "la riga 7 della matrice è del criterio 99, che non esiste più\n"},
        {{{Kind::OrphanRow, Criterion(20, 2, 9, std::nullopt, "Altrui"), {}, 8, 20, 0}},
         "9, -. Altrui: la riga 8 della matrice è di un criterio della ditta 2\n"},
        {{{Kind::PriorityNotDense, cliente, {}, 0, 0, 3}},
         label + "è provato al posto 3 ma ha priorità 2\n"},
    };
    for (const auto& [findings, text] : cases) {
        std::ostringstream out;
        auto writer = determination::FindingsTextWriter(out, kIdentity);
        for (const auto& f : findings) writer->Add(f);
        writer->End();
        EXPECT_EQ(out.str(), text);
    }
}

// An account left empty is none.
TEST(DeterminationReport, AWalkSaysWhyEachCriterionAnsweredOrNot) {
    using Outcome = determination::Step::Outcome;
    determination::Walk walk{1, 1, {{"CODA", "X"}}, {}};
    walk.steps = {{Criterion(3, 1, 1, 1, "Cliente, Articolo"),
                   {{"INDC", std::nullopt}, {"CODA", "X"}, {"FAMI", std::nullopt}},
                   Outcome::MissingValue,
                   {}},
                  {Criterion(4, 1, 1, 2, "Articolo"), {{"CODA", "X"}}, Outcome::NoRow, {}},
                  {Criterion(5, 1, 1, 3, "Tutti"), {}, Outcome::Answered, {}}};
    for (const auto& account : {std::optional<std::string>(), std::optional<std::string>("")}) {
        walk.steps.back().account = account;
        EXPECT_EQ(determination::WalkText(walk, kIdentity),
                  "Ditta 1, tipo 1 (Documenti Resi), valori: CODA=X\n"
                  "  1. Cliente, Articolo [INDC=? CODA=X FAMI=?]: manca il valore di INDC, FAMI\n"
                  "  2. Articolo [CODA=X]: nessuna riga con questi valori\n"
                  "  3. Tutti []: risponde, ma la riga non ha un conto\nNessuna contropartita\n");
    }
}

// The findings written one by one make the document a dump of it whole would give; a stored
// text that is not UTF-8 is replaced rather than refused by the JSON library. A row is named by
// its values and account.
TEST(DeterminationReport, TheJsonWrittenAsFoundIsOneDocument) {
    determination::Criterion c;
    c.description = "caff\xE8";
    c.structure = {"INDC", "CODA"};
    using Kind = determination::Finding::Kind;
    const determination::Finding f{Kind::OffStructure, c,    {},       6, 0, 0,
                                   {"", "X"},          "40", {"INDC"}, 3};
    for (size_t n : {0, 1, 2}) {
        std::ostringstream out;
        auto writer = determination::FindingsJsonWriter(out, 3);
        for (size_t i = 0; i < n; ++i) writer->Add(f);
        writer->End();
        auto document = nlohmann::json::parse(out.str());
        EXPECT_EQ(out.str(), document.dump(2) + "\n");
        EXPECT_EQ(document["findings"].size(), n);
        if (!n) continue;
        EXPECT_EQ(document["findings"][0]["criterion"]["description"], "caff\uFFFD");
        document["findings"][0].erase("criterion");
        EXPECT_EQ(document["findings"][0].dump(),
                  R"({"account":"40","kind":"off-structure","missing":["INDC"],"row":6,)"
                  R"("valueBeyond":"MGA1_VALORE03","values":["","X"]})");
    }
}

}  // namespace
