// The words of a script line and the command table's checks: what parses, and the message that
// names the line of what does not.

#include <gmock/gmock.h>

#include <fstream>
#include <sstream>

#include "app/script/script_parser.h"

namespace {

using script::Parse;
using script::ParseError;
using script::SplitWords;
using ::testing::ElementsAre;

TEST(ScriptWords, BlanksQuotesAndComments) {
    EXPECT_THAT(SplitWords("  type TXT_DESCR   Vendite  ", 1),
                ElementsAre("type", "TXT_DESCR", "Vendite"));
    EXPECT_THAT(SplitWords(R"(expect message "Dice \"sì\" e \\ basta" # a comment)", 1),
                ElementsAre("expect", "message", "Dice \"sì\" e \\ basta"));
    EXPECT_THAT(SplitWords("expect list \"\" title=\"Elimina riga\"", 1),
                ElementsAre("expect", "list", "", "title=Elimina riga"));
    EXPECT_THAT(SplitWords("   # only a comment", 1), ElementsAre());
    for (const char* bad : {"type X \"open", R"(type X "\n")"})
        EXPECT_THROW(SplitWords(bad, 7), ParseError) << bad;
}

TEST(ScriptParse, KeepsTheLinesAndTheWordsOfEachCommand) {
    // A byte order mark some editors write first is no part of the first word.
    auto commands =
        Parse("\xEF\xBB\xBF# set-up\ncompany 1 account-types=4\n\nnavigator button 25\n");
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].line, 2);
    EXPECT_THAT(commands[0].args, ElementsAre("1"));
    EXPECT_EQ(commands[0].options.at("account-types"), "4");
    EXPECT_EQ(commands[1].entry->name, "navigator button");
    EXPECT_THAT(commands[1].args, ElementsAre("25"));
}

struct BadLine {
    const char* text;
    const char* message;
};
void PrintTo(const BadLine& line, std::ostream* os) {
    *os << line.text;
}

class ScriptParseError : public ::testing::TestWithParam<BadLine> {};

TEST_P(ScriptParseError, NamesTheLineAndWhatIsWrong) {
    const auto [text, message] = GetParam();
    try {
        Parse(std::string("open 1\n") + text + "\n");
        FAIL() << "parsed";
    } catch (const ParseError& e) {
        EXPECT_EQ(e.Line(), 2);
        EXPECT_STREQ(e.what(), message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    , ScriptParseError,
    ::testing::Values(
        BadLine{"fly away", "unknown command 'fly'"},
        BadLine{"type X a\"b", "a quoted word is not closed"},
        BadLine{"open", "wrong number of words for 'open'"},
        BadLine{"activate now", "wrong number of words for 'activate'"},
        BadLine{"open uno", "'open' takes a number, not 'uno'"},
        BadLine{"toolbar TBAR_SELECT first", "'toolbar' takes a number, not 'first'"},
        BadLine{"choose CBO_TIPO vendite", "'choose' takes a number, not 'vendite'"},
        BadLine{"answer 0", "'answer' takes a message-box answer 1 to 7, not '0'"},
        BadLine{"answer 8", "'answer' takes a message-box answer 1 to 7, not '8'"},
        BadLine{"company 1 nesting=1",
                "'company' takes the options account-types, item-class-nesting, not 'nesting'"},
        BadLine{"company 1 account-types=due",
                "'company account-types' takes a number or null, not 'due'"},
        BadLine{"company 1 account-types", "'company' takes key=value, not 'account-types'"},
        BadLine{"navigator button", "wrong number of words for 'navigator button'"},
        BadLine{"navigator refresh",
                "'navigator' takes one of company-change, button, export, layout, script, not "
                "'refresh'"},
        BadLine{"expect",
                "'expect' takes one of message, no-message, beep, field, list, entries, caption, "
                "columns, grid, current, status, modified, query, transfer, window, log"},
        BadLine{"expect field TXT_DESCR", "wrong number of words for 'expect field'"},
        BadLine{"expect window shut", "'expect window' takes one of open, closed, not 'shut'"},
        BadLine{"expect message M flags=x", "'expect message flags' takes a number, not 'x'"}));

// The README's table of commands is the one the command table writes.
TEST(ScriptCommands, TheReadmeListsThemAsTheTableHasThem) {
    const char* source = std::getenv("DRAVEL_SOURCE_DIR");
    ASSERT_TRUE(source) << "DRAVEL_SOURCE_DIR names the repository (CTest sets it)";
    std::stringstream readme;
    readme << std::ifstream(std::string(source) + "/README.md").rdbuf();
    EXPECT_THAT(readme.str(), ::testing::HasSubstr(script::CommandTableMarkdown()))
        << "Replace the table of README.md's \"Session scripts\" with:\n"
        << script::CommandTableMarkdown();
}

}  // namespace
