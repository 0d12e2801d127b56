// Scripts run against the headless host and the module loaded from the built library: exit codes
// and the messages an administrator reads.

#include "app/script/script_runner.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

namespace fs = std::filesystem;

class ScriptRun : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_.emplace("dravel-script");
        ::setenv("DRAVEL_REGISTRY", (*dir_ / "registry.json").c_str(), 1);
        ::setenv("DRAVEL_LOG", (*dir_ / "dravel.log").c_str(), 1);
        // The module beside the test programs: build/<preset>/bin/.. /lib.
        fs::path exe = fs::read_symlink("/proc/self/exe");
        options_.moduleLibrary = exe.parent_path().parent_path() / "lib" / "libdravel.so";
        ASSERT_TRUE(fs::exists(options_.moduleLibrary)) << options_.moduleLibrary;
    }
    void TearDown() override {
        ::unsetenv("DRAVEL_REGISTRY");
        ::unsetenv("DRAVEL_LOG");
        dir_.reset();
    }

    script::Outcome Run(const std::string& text) {
        return script::RunText("s.dvs", text, options_);
    }

    std::optional<testing_support::TempDir> dir_;
    script::RunOptions options_;
};

TEST_F(ScriptRun, ExitCodes) {
    EXPECT_EQ(Run("company 1\nopen 1\nexpect window open\nclose\nexpect window closed\n").exitCode,
              0);
    auto failed = Run("company 1\nopen 1\nexpect window closed\n");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.message, "s.dvs:3: expected window closed, got window open");
    // Words the table does not allow are a script that does not parse: nothing runs.
    auto malformed = Run("company 1\nopen 1\nexpect window shut\n");
    EXPECT_EQ(malformed.exitCode, 2);
    EXPECT_EQ(malformed.message, "s.dvs:3: 'expect window' takes one of open, closed, not 'shut'");
}

TEST_F(ScriptRun, AFolderIsAScriptThatCannotRun) {
    auto outcome = script::RunFile(dir_->Path(), options_);
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_EQ(outcome.message, "Cannot read " + dir_->Path().string() + ": Is a directory");
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
    // Its own folder is gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.Path()), fs::directory_iterator()), 1);
}

TEST_F(ScriptRun, ACommandThatNeedsAWindowSaysSoWhenNoneIsOpen) {
    auto outcome = Run("company 1\npress Nuovo\n");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.message, "s.dvs:2: expected an open window, got none");
}

constexpr const char* kChangeQuestion =
    "\"Il cambio ditta comporta la chiusura del programma, proseguo ?\"";

// The module swallows a failed message box; the script must not.
TEST_F(ScriptRun, EveryQuestionNeedsItsAnswerAndEveryAnswerItsQuestion) {
    auto unanswered = Run("company 1\nopen 1\nnavigator company-change\nexpect window open\n");
    EXPECT_EQ(unanswered.exitCode, 1);
    EXPECT_EQ(unanswered.message, std::string("s.dvs:3: expected an answer for the question ") +
                                      kChangeQuestion +
                                      ", got none (queue one with answer N before the command)");

    auto unfit = Run("company 1\nopen 1\nanswer 1\nnavigator company-change\n");
    EXPECT_EQ(unfit.exitCode, 1);
    EXPECT_EQ(unfit.message,
              std::string("s.dvs:4: expected a message box that answer 1 fits, got ") +
                  kChangeQuestion + " with flags 4");

    // An answer that no question took fails at the line that queued it.
    auto leftOver =
        Run("company 1\nopen 1\nanswer 7\nnavigator company-change\nanswer 6\n"
            "expect message ~cambio\nexpect window open\n");
    EXPECT_EQ(leftOver.exitCode, 1);
    EXPECT_EQ(leftOver.message, "s.dvs:5: expected a question for answer 6, got none");

    // Answers are taken in order, one for each question.
    auto answered =
        Run("company 1\ncompany 2\nopen 1\nanswer 7\nanswer 6\n"
            "navigator company-change 2\nexpect window open\n"
            "navigator company-change 2\nexpect window closed\n");
    EXPECT_EQ(answered.exitCode, 0) << answered.message;
}

}  // namespace
