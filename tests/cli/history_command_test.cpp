// `dravel history`: each kind of record made readable, the filters, the JSON document, the exits.

#include <fstream>

#include <nlohmann/json.hpp>

#include "db/history.h"
#include "platform/text/utf8.h"
#include "tests/cli/dravel_cli.h"

namespace {

using ::testing::Pair;

// Records of the demo company (1) and one of company 2, oldest first, a day apart (the key and
// the time are the database's).
const db::HistoryRecord kRecords[] = {
    {0, "", "mario", "dravel-host", 1, db::kActionChange, "MGA0_QUINTAB", 3, 3,
     R"({"changed":{"MGA0_DESCR":["Vecchia","Nuova\u001b"],"MGA0_INDPRIOR":[1,2]},)"
     R"("renumbered":[{"type":0,"count":3}]})"},
    {0, "", "anna", "dravel", 2, db::kActionNew, "MGA0_QUINTAB", 8, 8,
     R"({"changed":{"MGA0_DESCR":[null,"Altra"]},"renumbered":[{"type":0,"count":1}]})"},
    {0, "", "anna", "dravel", 1, db::kActionImport, "MGA1_MATRCPAR", std::nullopt, 5,
     R"({"added":[{"MGA1_VALORE01":"C9","MGA1_CONTO":"70"}],"removed":[],)"
     R"("modified":[{"key":7,"changed":{"MGA1_CONTO":["60","61"]}}]})"},
    {0, "", "mario", "dravel script /tmp/pulizia.dvs", 1, db::kActionDelete, "MGA0_QUINTAB", 3, 3,
     R"({"row":{"MGA0_ID":3,"MGA0_DESCR":"Nuova","MG99_IDMEDIA_CG99":null},"taken":[{"table":"MGA1_MATRCPAR",)"
     R"("row":{"MGA1_ID":4,"MGA1_CONTO":"60.01"}}]})"},
};

class History : public testing_support::DravelCli {
  protected:
    void SetUp() override {
        ASSERT_EQ(Dravel({"create-db", "--demo", "--database", db_}).first, 0);
        auto c = testing_support::OpenDatabase(db_);
        for (const auto& record : kRecords) db::WriteHistory(*c, record);
        c->Execute(
            "UPDATE HOST_STORICO SET STORICO_QUANDO = '2026-03-0' || STORICO_ID || ' "
            "09:15:00.250'");
    }

    std::pair<int, std::string> Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"history", "--database", db_});
        return Dravel(args);
    }

    std::string db_ = (folder_ / "conti.db").string();
};

TEST_F(History, PrintsEachRecordNewestFirstWithItsDetailReadable) {
    EXPECT_THAT(
        Run({"--company", "1"}),
        Pair(0,
             "2026-03-04 09:15:00.250 UTC  mario  dravel script /tmp/pulizia.dvs  elimina  "
             "MGA0_QUINTAB 3  criterio 3\n"
             "    riga: MGA0_ID=3, MGA0_DESCR=\"Nuova\"\n"
             "    eliminata con essa: MGA1_MATRCPAR MGA1_ID=4, MGA1_CONTO=\"60.01\"\n"
             "2026-03-03 09:15:00.250 UTC  anna  dravel  importa  MGA1_MATRCPAR  criterio 5\n"
             "    Righe aggiunte: 1, con un conto nuovo: 1, tolte: 0.\n"
             "    aggiunta: MGA1_VALORE01=\"C9\", MGA1_CONTO=\"70\"\n"
             "    conto nuovo alla riga 7: MGA1_CONTO: \"60\" → \"61\"\n"
             "2026-03-01 09:15:00.250 UTC  mario  dravel-host  modifica  MGA0_QUINTAB 3  "
             "criterio 3\n"
             "    MGA0_DESCR: \"Vecchia\" → \"Nuova\\u001b\"\n"
             "    MGA0_INDPRIOR: 1 → 2\n"
             "    priorità rinumerate: tipo 0, 3 criteri\n"));
    EXPECT_THAT(Run({"--company", "2", "--language", "en"}),
                Pair(0,
                     "2026-03-02 09:15:00.250 UTC  anna  dravel  new  MGA0_QUINTAB 8  criterion "
                     "8\n    MGA0_DESCR: null → \"Altra\"\n"
                     "    priorities renumbered: type 0, 1 criterion\n"));
}

TEST_F(History, SelectsWhatTheOptionsAsk) {
    const struct {
        std::vector<std::string> options;
        std::vector<int> days;  // of the records listed
    } cases[] = {
        {{"--criterion", "3", "--since", "2026-03-02"}, {4}},
        {{"--limit", "2"}, {4, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        auto args = c.options;
        args.insert(args.end(), {"--company", "1", "--json"});
        auto [status, output] = Run(args);
        ASSERT_EQ(status, 0) << output;
        const auto json = nlohmann::json::parse(output);
        std::vector<int> days;
        for (const auto& record : json)
            days.push_back(record.at("when").get<std::string>()[9] - '0');
        EXPECT_EQ(days, c.days);
    }
    // The whole record, its detail an object.
    EXPECT_EQ(
        nlohmann::json::parse(Run({"--company", "1", "--json"}).second).at(1),
        nlohmann::json::parse(R"({"id":3,"when":"2026-03-03 09:15:00.250","user":"anna",)"
                              R"("program":"dravel","company":1,"action":"importa",)"
                              R"("table":"MGA1_MATRCPAR","key":null,"criterion":5,"detail":)" +
                              kRecords[2].detail + "}"));
}

TEST_F(History, ExitsWithTwoWhenItCannotRun) {
    const struct {
        std::vector<std::string> args;
        const char* told;
    } cases[] = {
        {{"--company", "1", "--since", "2026-02-29"}, "2026-02-29"},
        {{"--company", "1", "--limit", "-1"}, "--limit"},
        {{"--company", "9"}, "9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        EXPECT_THAT(Run(c.args), Pair(2, ::testing::HasSubstr(c.told)));
    }
}

// The history's column holds 255 characters.
TEST_F(History, AScriptOnALongPathIsRecordedByItsEnd) {
    const auto folder =
        folder_ / std::string(100, 'a') / std::string(100, 'b') / "c" / std::string(100, 'd');
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "lungo.dvs")
        << "open 1\ngrid 1\ntype TXT_DESCR Lungo\npress Conferma\nexpect no-message\n";
    ASSERT_EQ(Dravel({"script", (folder / "lungo.dvs").string(), "--database", db_}).first, 0);
    const auto [status, output] = Run({"--company", "1", "--limit", "1"});
    const size_t from = output.find("  dravel script") + 2;  // after the time and the user
    const auto program = output.substr(from, output.find("  modifica") - from);
    EXPECT_THAT(program, ::testing::MatchesRegex("dravel script …a*/b+/c/d+/lungo\\.dvs"));
    EXPECT_EQ(txt::CharCount(program), 255u);
}

}  // namespace
