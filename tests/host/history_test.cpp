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

// Each step, and the record it leaves: "action key criterion" (a regular expression) and values
// its detail holds, "pointer=JSON" between blanks. No record: the step leaves none.
struct Step {
    const char* what;
    std::function<void()> act;
    const char* record = nullptr;
    const char* detail = "";
};

TEST_P(History, EachActionThatChangesSomethingLeavesOneRecordOfIt) {
    ui::IForm* w = nullptr;
    auto type = [&](const char* control, const char* text) {
        user.driver.Type(*w, control, text);
        user.driver.Press(*w, "INTERNAV", "Conferma");
    };
    auto import = [&] {
        std::vector<determination::FileRecord> records = {
            {1, {"INDC", "CONTO"}}, {2, {"C02", "49"}}, {3, {"C03", "50"}}};
        auto outcome = determination::ImportRows(m.session->Database(), 1, 1, records,
                                                 {.replace = true}, [](auto& s) { return s; });
        EXPECT_THAT(outcome.faults, ::testing::IsEmpty());
    };
    auto remove = [&](ui::IForm& window, int32_t answer) {
        user.driver.ExpectQuestion(answer);
        user.driver.Press(window, "INTERNAV", "Elimina");
    };
    const Step steps[] = {
        {"open", [&] { w = &m.Open(); }},
        {"a description changed", [&] { type("TXT_DESCR", "Clienti"); }, "modifica 1 1",
         R"(/changed/MGA0_DESCR=["Cliente","Clienti"] /changed/MGA0_ID=null)"},
        {"a place typed that it already has", [&] { type("TXT_PRIORITA", "0"); }},
        {"moved down", [&] { user.driver.PressToolbar(*w, "TBAR_PRIORITY", 1); }, "sposta 1 1",
         R"(/changed={"MGA0_INDPRIOR":[1,2]} /renumbered=[{"count":1,"type":0}])"},
        {"a priority typed", [&] { type("TXT_PRIORITA", "1"); }, "modifica 1 1",
         R"(/changed={"MGA0_INDPRIOR":[2,1]} /renumbered=[{"count":1,"type":0}])"},
        {"a delete refused", [&] { remove(*w, ui::mb::AnswerNo); }},
        {"an import", import, "importa  1",
         R"(/removed/0/MGA1_VALORE01="C01" /added/0/MGA1_VALORE01="C03")"
         R"( /modified/0={"key":2,"changed":{"MGA1_CONTO":["41","49"]}})"},
        {"an import that changes nothing", import},
        {"a criterion deleted with its matrix rows", [&] { remove(*w, ui::mb::AnswerYes); },
         "elimina 1 1",
         R"(/row/MGA0_DESCR="Clienti" /taken/0/table="MGA1_MATRCPAR")"
         R"( /taken/1/table="MGA1_MATRCPAR" /renumbered=[{"count":1,"type":0}])"},
        {"a matrix row added",
         [&] {
             auto& matrix = m.session->OpenMatrix(2);
             user.driver.Press(matrix, "INTERNAV", "Nuovo");
             user.driver.Type(matrix, "TXT_VALORE01", "A1");
             user.driver.Type(matrix, "TXT_CONTO", "60");
             user.driver.Press(matrix, "INTERNAV", "Conferma");
         },
         "nuovo [0-9]+ 2", R"(/changed/MGA1_CONTO=[null,"60"] /changed/MGA1_ID=null)"},
        {"a matrix row deleted",
         [&] { user.driver.Press(*m.session->Matrix(), "INTERNAV", "Elimina"); },
         "elimina [0-9]+ 2", R"(/row/MGA1_VALORE01="A1")"},
    };
    size_t count = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        auto records = Records();
        ASSERT_EQ(records.size(), count + (step.record ? 1 : 0));
        if (!step.record) continue;
        ++count;
        const auto& r = records.front();
        EXPECT_THAT(r.action + " " + (r.key ? std::to_string(*r.key) : "") + " " +
                        (r.criterion ? std::to_string(*r.criterion) : ""),
                    ::testing::MatchesRegex(step.record));
        EXPECT_EQ(r.company, 1);
        EXPECT_EQ(r.program, "dravel");
        if (GetParam() == Backend::Sqlite) EXPECT_EQ(r.user, framework::CurrentUserName());
        const auto detail = nlohmann::json::parse(r.detail);
        std::istringstream held(step.detail);
        for (std::string pair; held >> pair;) {
            const size_t at = pair.find('=');
            EXPECT_EQ(
                detail.value(nlohmann::json::json_pointer(pair.substr(0, at)), nlohmann::json()),
                nlohmann::json::parse(pair.substr(at + 1)))
                << pair << " in " << r.detail;
        }
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
