// The history the host keeps of what users do in the windows and through an import: one record
// for each action that changed something, with what it changed, and none for an action that was
// refused or changed nothing (the fault tests fail actions).

#include <gmock/gmock.h>

#include <nlohmann/json.hpp>

#include "db/history.h"
#include "determination/matrix_import.h"
#include "framework/host_context.h"
#include "platform/ado/recordset.h"
#include "platform/ado/transaction.h"
#include "tests/support/module_session.h"

namespace {

using testing_support::Backend;

class History : public ::testing::TestWithParam<Backend> {
  protected:
    // Company 1: criteria 1 and 2 of type 0, two matrix rows on criterion 1.
    void SetUp() override {
        m.Sql(
            "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
            "MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES (1, 1, 0, 1, 'Cliente', 'INDC'), "
            "(2, 1, 0, 2, 'Articolo', 'CODA')");
        m.Sql(
            "INSERT INTO MGA1_MATRCPAR (MGA1_ID, MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_VALORE01, "
            "MGA1_CONTO) VALUES (1, 1, 1, 'C01', '40'), (2, 1, 1, 'C02', '41')");
    }

    std::vector<db::HistoryRecord> Records() {
        std::vector<db::HistoryRecord> all;
        db::ReadHistory(m.session->Database(), {.company = 1},
                        [&](const db::HistoryRecord& r) { all.push_back(r); });
        return all;
    }

    testing_support::HeadlessUser user;
    testing_support::ModuleSession m{GetParam()};
};

// Each step, and the record it leaves: the action, the key and criterion, and values the detail
// holds at JSON pointers. No action: the step leaves no record.
struct Step {
    const char* what;
    std::function<void(History&)> act;
    const char* action = nullptr;
    std::optional<int32_t> key = {}, criterion = {};
    std::vector<std::pair<const char*, const char*>> detail = {};
};

TEST_P(History, EachActionThatChangesSomethingLeavesOneRecordOfIt) {
    ui::IForm* w = nullptr;
    auto type = [&](const char* control, const char* text) {
        user.driver.Type(*w, control, text);
        user.driver.Press(*w, "INTERNAV", "Conferma");
    };
    auto import = [&](std::vector<std::vector<std::string>> lines) {
        std::vector<determination::FileRecord> records;
        for (auto& cells : lines) records.push_back({records.size() + 1, std::move(cells)});
        auto outcome = determination::ImportRows(m.session->Database(), 1, 1, records,
                                                 {.replace = true}, [](auto& s) { return s; });
        EXPECT_THAT(outcome.faults, ::testing::IsEmpty());
    };
    const Step steps[] = {
        {"open", [&](History&) { w = &m.Open(); }},
        {"a description changed",
         [&](History&) { type("TXT_DESCR", "Clienti"); },
         db::kActionChange,
         1,
         1,
         {{"/changed/MGA0_DESCR", R"(["Cliente","Clienti"])"}, {"/changed/MGA0_ID", "null"}}},
        {"a place typed that it already has", [&](History&) { type("TXT_PRIORITA", "0"); }},
        {"moved down",
         [&](History&) { user.driver.PressToolbar(*w, "TBAR_PRIORITY", 1); },
         db::kActionMove,
         1,
         1,
         {{"/changed", R"({"MGA0_INDPRIOR":[1,2]})"},
          {"/renumbered", R"([{"count":1,"type":0}])"}}},
        {"a priority typed",
         [&](History&) { type("TXT_PRIORITA", "1"); },
         db::kActionChange,
         1,
         1,
         {{"/changed", R"({"MGA0_INDPRIOR":[2,1]})"},
          {"/renumbered", R"([{"count":1,"type":0}])"}}},
        {"a delete refused",
         [&](History&) {
             user.driver.ExpectQuestion(ui::mb::AnswerNo);
             user.driver.Press(*w, "INTERNAV", "Elimina");
         }},
        {"an import",
         [&](History&) {
             import({{"INDC", "CONTO"}, {"C02", "49"}, { "C03", "50" }});
         },
         db::kActionImport,
         std::nullopt,
         1,
         {{"/removed/0/MGA1_VALORE01", R"("C01")"},
          {"/modified/0", R"({"key":2,"changed":{"MGA1_CONTO":["41","49"]}})"},
          {"/added/0/MGA1_VALORE01", R"("C03")"}}},
        {"an import that changes nothing",
         [&](History&) {
             import({{"INDC", "CONTO"}, {"C02", "49"}, { "C03", "50" }});
         }},
        {"a criterion deleted with its matrix rows",
         [&](History&) {
             user.driver.ExpectQuestion(ui::mb::AnswerYes);
             user.driver.Press(*w, "INTERNAV", "Elimina");
         },
         db::kActionDelete,
         1,
         1,
         {{"/row/MGA0_DESCR", R"("Clienti")"},
          {"/taken/0/table", R"("MGA1_MATRCPAR")"},
          {"/taken/1/table", R"("MGA1_MATRCPAR")"},
          {"/renumbered", R"([{"count":1,"type":0}])"}}},
        {"a matrix row added",
         [&](History&) {
             auto& matrix = m.session->OpenMatrix(2);
             user.driver.Press(matrix, "INTERNAV", "Nuovo");
             user.driver.Type(matrix, "TXT_VALORE01", "A1");
             user.driver.Type(matrix, "TXT_CONTO", "60");
             user.driver.Press(matrix, "INTERNAV", "Conferma");
         },
         db::kActionNew,
         std::nullopt,
         2,
         {{"/changed/MGA1_CONTO", R"([null,"60"])"}, {"/changed/MGA1_ID", "null"}}},
        {"a matrix row deleted",
         [&](History&) { user.driver.Press(*m.session->Matrix(), "INTERNAV", "Elimina"); },
         db::kActionDelete,
         std::nullopt,
         2,
         {{"/row/MGA1_VALORE01", R"("A1")"}}},
    };
    size_t count = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act(*this);
        auto records = Records();
        ASSERT_EQ(records.size(), count + (step.action ? 1 : 0));
        if (!step.action) continue;
        ++count;
        const auto& r = records.front();
        EXPECT_EQ(r.action, step.action);
        if (step.key) EXPECT_EQ(r.key, step.key);
        EXPECT_EQ(r.criterion, step.criterion);
        EXPECT_EQ(r.company, 1);
        EXPECT_EQ(r.program, "dravel");
        if (GetParam() == Backend::Sqlite) EXPECT_EQ(r.user, framework::CurrentUserName());
        const auto detail = nlohmann::json::parse(r.detail);
        for (const auto& [pointer, value] : step.detail)
            EXPECT_EQ(detail.value(nlohmann::json::json_pointer(pointer), nlohmann::json()),
                      nlohmann::json::parse(value))
                << pointer << " in " << r.detail;
    }
}

// Criteria changed by statements, then one written back, in one transaction: a statement that sets
// the value another criterion has is no renumbering; a criterion a renumbering changed and a
// recordset then wrote is recorded as the recordset changed it, from the values it read.
TEST_P(History, CriteriaChangedByStatementsThenWrittenBack) {
    const struct {
        const char* sql;
        const char* description;  // written back to criterion 1
        const char* detail;
    } cases[] = {
        {"UPDATE MGA0_QUINTAB SET MGA0_INDPRIOR = 2 WHERE MGA0_ID = 2", "Clienti",
         R"({"changed":{"MGA0_DESCR":["Cliente","Clienti"]}})"},
        {"UPDATE MGA0_QUINTAB SET MGA0_INDPRIOR = R.P FROM (SELECT 1 AS ID, 5 AS P) AS R "
         "WHERE MGA0_ID = R.ID",
         "Fornitori", R"({"changed":{"MGA0_DESCR":["Clienti","Fornitori"]}})"},
    };
    ado::Connection& c = m.session->Database();
    for (const auto& step : cases) {
        ado::Transaction t(c);
        c.Execute(step.sql);
        auto rs = ado::Recordset::Create();
        rs->Open("SELECT * FROM MGA0_QUINTAB WHERE MGA0_ID = 1", &c, ado::adOpenStatic,
                 ado::adLockOptimistic);
        rs->Fields("MGA0_DESCR").SetValue(com::Variant(step.description));
        rs->Update();
        t.Commit();
        auto records = Records();
        ASSERT_FALSE(records.empty()) << step.sql;
        EXPECT_EQ(records.front().detail, step.detail) << step.sql;
    }
}

DRAVEL_ON_EACH_BACKEND(History);

}  // namespace
