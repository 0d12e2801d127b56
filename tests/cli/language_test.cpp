// Without --language the programs speak the language of the user's locale, as desktop programs
// do: English for English, the Italian source texts for any other; session scripts start in
// Italian whatever it is.

#include "tests/cli/dravel_cli.h"

namespace {

using ::testing::HasSubstr;
using testing_support::DravelCli;
using testing_support::ScopedEnv;

TEST_F(DravelCli, TheLanguageIsTheLocales) {
    const struct {
        const char *all, *messages, *lang, *languages;
        std::vector<std::string> options;
        bool english;
    } cases[] = {
        {nullptr, nullptr, "en_US.UTF-8", nullptr, {}, true},
        {nullptr, nullptr, "de_DE.UTF-8", nullptr, {}, false},
        {"it_IT.UTF-8", "en_US.UTF-8", "en_US.UTF-8", nullptr, {}, false},
        {nullptr, "en_GB.UTF-8", "it_IT.UTF-8", nullptr, {}, true},
        {"C", nullptr, "en_US.UTF-8", "en", {}, false},
        {nullptr, nullptr, "de_DE.UTF-8", "fr:en_GB:it", {}, true},
        {nullptr, nullptr, "en_US.UTF-8", "de", {}, true},
        {nullptr, nullptr, "en_US.UTF-8", nullptr, {"--language", "it"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(
            std::vector<const char*>{c.all, c.messages, c.lang, c.languages}));
        ScopedEnv all("LC_ALL", c.all), messages("LC_MESSAGES", c.messages), lang("LANG", c.lang),
            languages("LANGUAGE", c.languages);
        std::vector<std::string> args = {"company", "list"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        EXPECT_THAT(Dravel(args),
                    ::testing::Pair(0, HasSubstr(c.english ? "Company name" : "Ragione sociale")));
    }
}

TEST_F(DravelCli, EveryProgramSpeaksTheLocalesLanguage) {
    ScopedEnv all("LC_ALL", nullptr), lang("LANG", "en_US.UTF-8");
    std::ofstream(folder_ / "empty.db");
    const struct {
        std::pair<int, std::string> run;
        const char* says;
    } cases[] = {
        {Dravel({"show"}), "== Counter-account determination criteria =="},
        {Host({}), "== Counter-account determination criteria =="},
        {Dravel({"resolve", "--company", "1", "--type", "0", "INDC=C00012", "CODA=VITI-M6"}),
         "Counter-account 40.01.001, from criterion 1."},
        {Dravel({"check", "--company", "1"}),
         "matrix row 6 (CODA=VITI-M6 INDC=C00012 DEPO=DEP01, account 40.01.009) is never "
         "reached: 1. Cliente, Codice articolo answers first"},
        {Dravel({"company", "set", "--code", "9", "--name", "x"}),
         "dravel: There is no company 9: nothing was changed."},
        {Dravel({"resolve", "--company", "1", "--type", "3"}), "There is no type 3"},
        {testing_support::RunToEnd(
             {"/bin/sh", "-c", "ulimit -f 32 && exec \"$@\"", "sh", DRAVEL_CLI_PATH, "create-db",
              "--demo", "--database", (folder_ / "big.db").string()},
             folder_ / "output"),
         "dravel: The disk is full: nothing was done."},
        {Dravel({"show", "--database", (folder_ / "empty.db").string()}),
         "dravel: The database has no table HOST_DITTE: nothing was done."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        EXPECT_THAT(c.run.second, HasSubstr(c.says));
    }
    // Session scripts start in Italian, as they are written.
    std::ofstream(folder_ / "s.dvs") << "company 1\nopen 1\nexpect caption LBL_DESC Descrizione\n";
    EXPECT_THAT(Dravel({"script", (folder_ / "s.dvs").string()}), ::testing::Pair(0, ""));
}

}  // namespace
