// Scripts run against the headless host and the module loaded from the built library: exit codes
// and the messages an administrator reads.

#include <gmock/gmock.h>

#include <fstream>

#include "app/script/script_runner.h"
#include "tests/support/module_session.h"

namespace {

namespace fs = std::filesystem;

class ScriptRun : public ::testing::Test {
  protected:
    script::Outcome Run(const std::string& text) {
        return script::RunText("s.dvs", text, {"", testing_support::ModuleLibraryPath()});
    }
    testing_support::TestFolder folder_;
};

TEST_F(ScriptRun, ExitCodesAndTheLineThatFailed) {
    EXPECT_EQ(Run("company 1\nopen 1\nexpect window open\nclose\nexpect window closed\n").exitCode,
              0);
    auto failed = Run("company 1\nopen 1\nexpect window closed\n");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.message, "s.dvs:3: expected window closed, got window open");
    EXPECT_EQ(Run("company 1\npress Nuovo\n").message,
              "s.dvs:2: expected an open window, got none");
    // A script that does not parse runs nothing, nor does a folder.
    auto malformed = Run("company 1\nopen 1\nexpect window shut\n");
    EXPECT_EQ(malformed.exitCode, 2);
    EXPECT_EQ(malformed.message, "s.dvs:3: 'expect window' takes one of open, closed, not 'shut'");
    auto folder = script::RunFile(folder_.Path(), {});
    EXPECT_EQ(folder.exitCode, 2);
    EXPECT_EQ(folder.message, "Cannot read " + folder_.Path().string() + ": Is a directory");
}

// The script's database goes in a new folder of its own: one another user created first under
// the name the runner used to take stays as it is.
TEST_F(ScriptRun, ItsTemporaryFolderIsItsOwn) {
    testing_support::TempDir tmp("dravel-tmp");
    testing_support::ScopedEnv tmpdir("TMPDIR", tmp.Path().c_str());
    auto planted = tmp / ("dravel-script-" + std::to_string(getpid()));
    fs::create_directory(planted);
    std::ofstream(planted / "theirs") << "keep";
    EXPECT_EQ(Run("company 1\n").exitCode, 0);
    EXPECT_TRUE(fs::exists(planted / "theirs"));
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.Path()), fs::directory_iterator()), 1);
}

// The module swallows a failed message box; the script must not.
TEST_F(ScriptRun, EveryQuestionNeedsItsAnswerAndEveryAnswerItsQuestion) {
    const std::string question =
        "\"Il cambio ditta comporta la chiusura del programma, proseguo ?\"";
    EXPECT_EQ(Run("company 1\nopen 1\nnavigator company-change\n").message,
              "s.dvs:3: expected an answer for the question " + question +
                  ", got none (queue one with answer N before the command)");
    EXPECT_EQ(
        Run("company 1\nopen 1\nanswer 1\nnavigator company-change\n").message,
        "s.dvs:4: expected a message box that answer 1 fits, got " + question + " with flags 4");
    // An answer that no question took fails at the line that queued it.
    EXPECT_EQ(Run("company 1\nopen 1\nanswer 7\nnavigator company-change\nanswer 6\n"
                  "expect message ~cambio\n")
                  .message,
              "s.dvs:5: expected a question for answer 6, got none");
    // Answers are taken in order, one for each question.
    auto answered =
        Run("company 1\ncompany 2\nopen 1\nanswer 7\nanswer 6\nnavigator company-change 2\n"
            "expect window open\nnavigator company-change 2\nexpect window closed\n");
    EXPECT_EQ(answered.exitCode, 0) << answered.message;
}

}  // namespace
