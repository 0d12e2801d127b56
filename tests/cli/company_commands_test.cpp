// A database made without the demo data gets its companies from the tool, on SQLite and on
// PostgreSQL; until it has one, every program that opens a company says which command adds it.

#include "tests/cli/dravel_cli.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Pair;
using CompanyCommands = testing_support::DravelCliOnEachBackend;

TEST_P(CompanyCommands, ANewDatabaseGetsItsCompaniesFromTheTool) {
    const std::string db = NewDatabase("companies");
    ASSERT_EQ(Dravel({"create-db", "--database", db}).first, 0);
    const std::string hint = "aggiungerne una con \"dravel company add --code N --name NOME\"";
    EXPECT_THAT(Host({"--database", db}), Pair(1, HasSubstr(hint)));
    EXPECT_THAT(Dravel({"company", "list", "--database", db}), Pair(0, HasSubstr(hint)));

    const std::string heading = "Ditta  Tipi conto  Annidamento classi  Ragione sociale\n";
    EXPECT_THAT(Dravel({"company", "add", "--database", db, "--code", "7", "--name",
                        "Ferramenta è nuova", "--account-types", "4"}),
                Pair(0, heading + "7      4           null                Ferramenta è nuova\n"));
    EXPECT_EQ(
        Dravel({"company", "add", "--database", db, "--code", "3", "--name", "Cantina"}).first, 0);
    // `set` writes what it is given and nothing else.
    EXPECT_EQ(Dravel({"company", "set", "--database", db, "--code", "7", "--account-types", "null",
                      "--item-class-nesting", "1"})
                  .first,
              0);
    const std::string both = heading +
                             "3      null        null                Cantina\n"
                             "7      null        1                   Ferramenta è nuova\n";
    EXPECT_THAT(Dravel({"company", "list", "--database", db}), Pair(0, both));

    // A code that exists is not added again, one that does not is not changed: nothing is.
    EXPECT_THAT(Dravel({"company", "add", "--database", db, "--code", "7", "--name", "Altra"}),
                Pair(1, HasSubstr("dravel: La ditta 7 esiste già: nulla è stato modificato.")));
    EXPECT_THAT(Dravel({"company", "set", "--database", db, "--code", "8", "--name", "Altra"}),
                Pair(1, HasSubstr("dravel: La ditta 8 non esiste: nulla è stato modificato.")));
    EXPECT_THAT(Dravel({"company", "list", "--database", db}), Pair(0, both));

    auto shown = Dravel({"show", "--database", db});
    EXPECT_EQ(shown.first, 0) << shown.second;
    EXPECT_THAT(shown.second, HasSubstr("== Gestione determinazione contropartite =="));
}

DRAVEL_ON_EACH_BACKEND(CompanyCommands);

}  // namespace
