// A command given wrongly exits 2 with one line that names the mistake, before it touches any
// database: the parser's own mistakes and those found in the values given.

#include "tests/cli/dravel_cli.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing_support::DravelCli;

TEST_F(DravelCli, AUsageErrorExitsTwoWithOneLineNamingIt) {
    const std::string longName(81, 'x');
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{}, "A subcommand is required"},
        {{"bogus"}, "\"bogus\" is not a command (see dravel --help)"},
        {{"company", "bogus"}, "\"bogus\" is not a command (see dravel company --help)"},
        {{"show", "--company", "x"}, "--company"},
        {{"check"}, "--company is required (see dravel check --help)"},
        {{"schema", "--dialect", "oracle"}, "oracle"},
        {{"create-db"}, "Indicare il database da creare"},
        {{"company", "add", "--code", "0", "--name", "x"}, "--code: Value 0 not in range"},
        {{"company", "add", "--code", "3", "--name", longName}, "da 1 a 80 caratteri"},
        {{"company", "add", "--code", "3", "--name", " "}, "da 1 a 80 caratteri"},
        {{"company", "add", "--code", "3", "--name", "x", "--account-types", "1.5"},
         "--account-types: a whole number or null, not 1.5"},
        {{"company", "set", "--code", "3"}, "Indicare che cosa cambiare"},
        {{"resolve", "--company", "1", "--type", "3"}, "Il tipo 3 non esiste: i tipi sono 0, 1, 4"},
        {{"resolve", "--company", "1", "--type", "0", "XXXX=1"},
         "XXXX non è un codice di attributo"},
        {{"resolve", "--company", "1", "--type", "0", "INDC=a", "indc=b"},
         "Il codice di attributo INDC è indicato due volte"},
        {{"resolve", "--company", "1", "--type", "0", "INDC"},
         "\"INDC\" non è un valore di attributo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        EXPECT_THAT(
            Dravel(c.args),
            ::testing::Pair(2, ::testing::AllOf(HasSubstr(c.says), testing_support::OneLine())));
        EXPECT_FALSE(fs::exists(folder_ / "data")) << "a database was opened";
    }
    EXPECT_THAT(Host({"--company", "x"}),
                ::testing::Pair(2, HasSubstr("(see dravel-host --help)")));
    EXPECT_EQ(Dravel({"resolve", "--help"}).first, 0);
}

}  // namespace
