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
