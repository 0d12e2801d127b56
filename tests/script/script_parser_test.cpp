#include "app/script/script_parser.h"

#include <gtest/gtest.h>

using script::Parse;
using script::ParseError;
using script::SplitWords;

TEST(ScriptWords, BlanksQuotesAndComments) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitWords("  type TXT_DESCR   Vendite  ", 1), (V{"type", "TXT_DESCR", "Vendite"}));
    EXPECT_EQ(SplitWords("type TXT_DESCR \"Vendite Italia\" # a comment", 1),
              (V{"type", "TXT_DESCR", "Vendite Italia"}));
    EXPECT_EQ(SplitWords(R"(expect message "Dice \"sì\" e \\ basta")", 1),
              (V{"expect", "message", "Dice \"sì\" e \\ basta"}));
    EXPECT_EQ(SplitWords("expect list \"\"", 1), (V{"expect", "list", ""}));
    EXPECT_EQ(SplitWords("expect message M title=\"Elimina riga\" flags=292", 1),
              (V{"expect", "message", "M", "title=Elimina riga", "flags=292"}));
    EXPECT_TRUE(SplitWords("   # only a comment", 1).empty());
    EXPECT_TRUE(SplitWords("", 1).empty());
}

TEST(ScriptWords, MalformedWordsNameTheirLine) {
    for (const char* bad : {"type X \"open", "type X a\"b", R"(type X "\n")"}) {
        try {
            SplitWords(bad, 7);
            ADD_FAILURE() << bad;
        } catch (const ParseError& e) {
            EXPECT_EQ(e.Line(), 7) << bad;
        }
    }
}

TEST(ScriptParse, KnowsTheCommandsAndTheirWords) {
    auto commands =
        Parse("# set-up\ncompany 1 account-types=4\n\nopen 1\nexpect grid\npress Nuovo\n");
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(commands[0].line, 2);
    EXPECT_EQ(commands[1].words, (std::vector<std::string>{"open", "1"}));
    EXPECT_EQ(commands[2].line, 5);
    // A byte order mark some editors write first is no part of the first word.
    EXPECT_EQ(Parse("\xEF\xBB\xBFopen 1\n")[0].words[0], "open");

    auto lineOf = [](const std::string& text) {
        try {
            Parse(text);
        } catch (const ParseError& e) {
            return e.Line();
        }
        return 0;
    };
    EXPECT_EQ(lineOf("open 1\nfly away\n"), 2);  // unknown command
    EXPECT_EQ(lineOf("open\n"), 1);              // missing word
    EXPECT_EQ(lineOf("activate now\n"), 1);      // one word too many
    EXPECT_EQ(lineOf("expect\n"), 1);
}

TEST(ScriptParse, ChecksTheWordsOfEachCommand) {
    auto error = [](const std::string& text) -> std::string {
        try {
            Parse(text);
        } catch (const ParseError& e) {
            return std::to_string(e.Line()) + ": " + e.what();
        }
        return "parsed";
    };
    // Numbers where the table has N, CODE or INDEX.
    EXPECT_EQ(error("open uno\n"), "1: 'open' takes a number, not 'uno'");
    EXPECT_EQ(error("grid 2\nlist 1x\n"), "2: 'list' takes a number, not '1x'");
    EXPECT_EQ(error("toolbar TBAR_SELECT first\n"), "1: 'toolbar' takes a number, not 'first'");
    EXPECT_EQ(error("choose CBO_TIPO vendite\n"), "1: 'choose' takes a number, not 'vendite'");
    EXPECT_EQ(error("answer 0\n"), "1: 'answer' takes a message-box answer 1 to 7, not '0'");
    EXPECT_EQ(error("answer yes\n"), "1: 'answer' takes a message-box answer 1 to 7, not 'yes'");
    // Company settings: known keys, a number or null.
    EXPECT_EQ(error("company 1 account-types=null item-class-nesting=1\n"), "parsed");
    EXPECT_EQ(error("company 1 nesting=1\n"),
              "1: 'company option' takes one of account-types, item-class-nesting, not 'nesting'");
    EXPECT_EQ(error("company 1 account-types=due\n"),
              "1: 'company account-types' takes a number, not 'due'");
    EXPECT_EQ(error("company 1 account-types\n"),
              "1: 'company' expects key=value, not 'account-types'");
    // Navigator events and their argument.
    EXPECT_EQ(error("navigator company-change\nnavigator company-change 2\nnavigator button 25\n"),
              "parsed");
    EXPECT_EQ(error("navigator button\n"), "1: 'navigator button' takes a button code");
    EXPECT_EQ(error("navigator export now\n"), "1: 'navigator export' takes no further word");
    EXPECT_EQ(error("navigator refresh\n"),
              "1: 'navigator' takes one of company-change, button, export, layout, script, not "
              "'refresh'");
    // Expectations: names, counts, fixed words, options.
    EXPECT_EQ(error("expect grid\nexpect list\nexpect beep\nexpect modified false\n"), "parsed");
    EXPECT_EQ(error("expect something\n"), "1: unknown expectation 'something'");
    EXPECT_EQ(error("expect field TXT_DESCR\n"), "1: wrong number of words for 'expect field'");
    EXPECT_EQ(error("expect no-message now\n"), "1: wrong number of words for 'expect no-message'");
    EXPECT_EQ(error("expect window shut\n"),
              "1: 'expect window' takes one of open, closed, not 'shut'");
    EXPECT_EQ(error("expect modified yes\n"),
              "1: 'expect modified' takes one of true, false, True, False, not 'yes'");
    EXPECT_EQ(error("expect beep two\n"), "1: 'expect beep' takes a number, not 'two'");
    EXPECT_EQ(error("expect current\n"), "1: wrong number of words for 'expect current'");
    EXPECT_EQ(error("expect message M flags=x\n"),
              "1: 'expect message flags' takes a number, not 'x'");
    EXPECT_EQ(error("expect message M icon=64\n"),
              "1: 'expect message option' takes one of flags, title, not 'icon'");
}
