// Session scripts: the parser, and the runner's exit codes and the messages an administrator
// reads.

#include <gmock/gmock.h>

#include <fstream>
#include <sstream>

#include "app/script/script_parser.h"
#include "app/script/script_runner.h"
#include "tests/support/module_session.h"

namespace {

namespace fs = std::filesystem;
using script::Parse;
using script::ParseError;
using script::SplitWords;
using ::testing::ElementsAre;
using ::testing::Pair;

TEST(ScriptWords, BlanksQuotesAndComments) {
    EXPECT_THAT(SplitWords("  type TXT_DESCR   Vendite  ", 1),
                ElementsAre("type", "TXT_DESCR", "Vendite"));
    EXPECT_THAT(SplitWords(R"(expect message "Dice \"sì\" e \\ basta\nda capo" # a comment)", 1),
                ElementsAre("expect", "message", "Dice \"sì\" e \\ basta\nda capo"));
    EXPECT_THAT(SplitWords("expect list \"\" title=\"Elimina riga\"", 1),
                ElementsAre("expect", "list", "", "title=Elimina riga"));
    EXPECT_THAT(SplitWords("   # only a comment", 1), ElementsAre());
    for (const char* bad : {"type X \"open", R"(type X "\t")"})
        EXPECT_THROW(SplitWords(bad, 7), ParseError) << bad;
}

TEST(ScriptParse, KeepsTheLinesAndTheWordsOfEachCommand) {
    // A byte order mark some editors write first is no part of the first word, nor is the
    // carriage return of a line that ends as on Windows part of the last.
    auto commands =
        Parse("\xEF\xBB\xBF# set-up\ncompany 1 account-types=4\r\n\nnavigator button 25\n");
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].line, 2);
    EXPECT_THAT(commands[0].args, ElementsAre("1"));
    EXPECT_EQ(commands[0].options.at("account-types"), "4");
    EXPECT_EQ(commands[1].entry->name, "navigator button");
    EXPECT_THAT(commands[1].args, ElementsAre("25"));
}

TEST(ScriptParse, AnErrorNamesTheLineAndWhatIsWrong) {
    const struct {
        const char* text;
        const char* message;
    } lines[] = {
        {"fly away", "unknown command 'fly'"},
        {"type X a\"b", "a quoted word is not closed"},
        {"open", "wrong number of words for 'open'"},
        {"activate now", "'activate' takes matrix, not 'now'"},
        {"matrix uno", "'matrix' takes a number, not 'uno'"},
        {"open 1x", "'open' takes a number, not '1x'"},
        {"grid 2147483648", "'grid' takes a number, not '2147483648'"},
        {"toolbar TBAR_SELECT first", "'toolbar' takes a number, not 'first'"},
        {"answer 0", "'answer' takes a message-box answer 1 to 7, not '0'"},
        {"answer 8", "'answer' takes a message-box answer 1 to 7, not '8'"},
        {"company 1 nesting=1",
         "'company' takes the options account-types, item-class-nesting, not 'nesting'"},
        {"company 1 account-types=due",
         "'company account-types' takes a number or null, not 'due'"},
        {"company 1 account-types", "'company' takes key=value, not 'account-types'"},
        {"navigator button", "wrong number of words for 'navigator button'"},
        {"navigator refresh",
         "'navigator' takes one of company-change, button, export, layout, script, not "
         "'refresh'"},
        {"expect",
         "'expect' takes one of message, no-message, beep, field, list, entries, caption, "
         "columns, grid, current, status, modified, query, transfer, window, log"},
        {"expect window close", "'expect window' takes one of open, closed, not 'close'"},
        {"expect window matrix", "wrong number of words for 'expect window'"},
        {"expect message M flags=x", "'expect message flags' takes a number, not 'x'"},
        {"type TXT_DESCR \"caf\xE9\"",
         "byte 20 of the line is not UTF-8 text: save the script in UTF-8"},
    };
    for (const auto& [text, message] : lines) {
        SCOPED_TRACE(text);
        try {
            Parse(std::string("open 1\n") + text + "\n");
            ADD_FAILURE() << "parsed";
        } catch (const ParseError& e) {
            EXPECT_EQ(e.Line(), 2);
            EXPECT_STREQ(e.what(), message);
        }
    }
}

TEST(ScriptCommands, TheReadmeListsThemAsTheTableHasThem) {
    const char* source = std::getenv("DRAVEL_SOURCE_DIR");
    ASSERT_TRUE(source) << "DRAVEL_SOURCE_DIR names the repository (CTest sets it)";
    std::stringstream readme;
    readme << std::ifstream(std::string(source) + "/README.md").rdbuf();
    EXPECT_THAT(readme.str(), ::testing::HasSubstr(script::CommandTableMarkdown()))
        << "Replace the table of README.md's \"Session scripts\" with:\n"
        << script::CommandTableMarkdown();
}

class ScriptRun : public ::testing::Test {
  protected:
    std::pair<int, std::string> Run(const std::string& text) {
        return Told(script::RunText("s.dvs", text, {"", testing_support::ModuleLibraryPath()}));
    }
    static std::pair<int, std::string> Told(const script::Outcome& o) {
        return {o.exitCode, o.message};
    }
    testing_support::TestFolder folder_;
};

TEST_F(ScriptRun, ExitCodesAndTheLineThatFailed) {
    EXPECT_THAT(Run("company 1\nopen 1\nexpect window closed\n"),
                Pair(1, "s.dvs:3: expected window closed, got window open"));
    EXPECT_THAT(Run("company 1\npress Nuovo\n"),
                Pair(1, "s.dvs:2: expected an open window, got none"));
    // A script that does not parse runs nothing, nor does a folder.
    EXPECT_THAT(Run("company 1\nopen 1\nexpect window shut\n"),
                Pair(2, "s.dvs:3: 'expect window' takes one of open, closed, not 'shut'"));
    EXPECT_THAT(Told(script::RunFile(folder_.Path(), {})),
                Pair(2, "Cannot read " + folder_.Path().string() + ": Is a directory"));
    // A script is a text someone wrote: past 16 MiB it is not read on, however long it goes on.
    EXPECT_THAT(Told(script::RunFile("/dev/zero", {})),
                Pair(2, "Cannot read /dev/zero: a script holds at most 16 MiB"));
    auto longest = folder_ / "long.dvs";
    std::ofstream(longest) << std::string((16 << 20) - 1, '#') << "\n";
    EXPECT_EQ(script::RunFile(longest, {"", testing_support::ModuleLibraryPath()}).exitCode, 0);
}

// The script's database goes in a new folder of its own: one another user created first under
// the name the runner used to take stays as it is.
TEST_F(ScriptRun, ItsTemporaryFolderIsItsOwn) {
    testing_support::TempDir tmp("dravel-tmp");
    testing_support::ScopedEnv tmpdir("TMPDIR", tmp.Path().c_str());
    auto planted = tmp / ("dravel-script-" + std::to_string(getpid()));
    fs::create_directory(planted);
    std::ofstream(planted / "theirs") << "keep";
    EXPECT_EQ(Run("company 1\n").first, 0);
    EXPECT_TRUE(fs::exists(planted / "theirs"));
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.Path()), fs::directory_iterator()), 1);
}

// The module swallows a failed message box; the script must not.
TEST_F(ScriptRun, EveryQuestionNeedsItsAnswerAndEveryAnswerItsQuestion) {
    const std::string question =
        "\"Il cambio ditta comporta la chiusura del programma, proseguo ?\"";
    EXPECT_THAT(Run("company 1\nopen 1\nnavigator company-change\n"),
                Pair(1, "s.dvs:3: expected an answer for the question " + question +
                            ", got none (queue one with answer N before the command)"));
    EXPECT_THAT(Run("company 1\nopen 1\nanswer 1\nnavigator company-change\n"),
                Pair(1, "s.dvs:4: expected a message box that answer 1 fits, got " + question +
                            " with flags 4"));
    // An answer that no question took fails at the line that queued it.
    EXPECT_THAT(Run("company 1\nopen 1\nanswer 7\nnavigator company-change\nanswer 6\n"
                    "expect message ~cambio\n"),
                Pair(1, "s.dvs:5: expected a question for answer 6, got none"));
    // Answers are taken in order, one for each question.
    EXPECT_THAT(Run("company 1\ncompany 2\nopen 1\nanswer 7\nanswer 6\nnavigator company-change 2\n"
                    "expect window open\nnavigator company-change 2\nexpect window closed\n"),
                Pair(0, ""));
}

}  // namespace
