// The command-line tool as a user runs it: the built `dravel` in a child process.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ScopedEnv;
using testing_support::TempDir;

struct Outcome {
    int exitCode = -1;  // -1: it did not exit
    int signal = 0;     // the signal that ended it
    std::string out, err;
};

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DravelCli : public ::testing::Test {
  protected:
    // Runs dravel with `args`; its files may grow to `fileSizeLimit` bytes at most.
    Outcome Dravel(std::vector<std::string> args, rlim_t fileSizeLimit = RLIM_INFINITY) {
        return Finish(Start(std::move(args), "", fileSizeLimit), "");
    }

    // Starts dravel (or another of the built programs) with its output in files named after `tag`.
    pid_t Start(std::vector<std::string> args, const std::string& tag,
                rlim_t fileSizeLimit = RLIM_INFINITY, const char* program = DRAVEL_CLI_PATH) {
        fs::path out = dir_ / ("stdout" + tag), err = dir_ / ("stderr" + tag);
        pid_t pid = fork();
        if (pid == 0) {
            int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0) _exit(126);
            rlimit limit{fileSizeLimit, fileSizeLimit};
            if (fileSizeLimit != RLIM_INFINITY && setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
            std::vector<char*> argv{const_cast<char*>(program)};
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(program, argv.data());
            _exit(127);
        }
        return pid;
    }

    Outcome Finish(pid_t pid, const std::string& tag) {
        int status = 0;
        waitpid(pid, &status, 0);
        Outcome outcome;
        if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
        outcome.out = ReadFile(dir_ / ("stdout" + tag));
        outcome.err = ReadFile(dir_ / ("stderr" + tag));
        return outcome;
    }

    TempDir dir_{"dravel-cli"};
    ScopedEnv registry_{"DRAVEL_REGISTRY", (dir_ / "registry.json").c_str()};
    ScopedEnv log_{"DRAVEL_LOG", (dir_ / "dravel.log").c_str()};
    ScopedEnv data_{"XDG_DATA_HOME", (dir_ / "data").c_str()};
};

// Nothing in a path is syntax: not ';', not '=', not blanks at its ends, not a URI's '?'.
TEST_F(DravelCli, ADatabasePathNamesExactlyTheFileCreated) {
    for (std::string name : {"real;2024.db", "a=b.db", " blanks at both ends.db ", "a?b#c%d.db"}) {
        SCOPED_TRACE(name);
        fs::path folder = dir_ / "databases";
        fs::remove_all(folder);
        fs::create_directory(folder);
        auto run = Dravel({"create-db", "--database", (folder / name).string()});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(folder))
            files.push_back(entry.path().filename());
        EXPECT_EQ(files, std::vector<std::string>{name});
    }
}

TEST_F(DravelCli, OnlyTheDemoDatabaseIsCreatedWhenMissing) {
    auto typo = dir_ / "typo.db";
    auto run = Dravel({"show", "--database", typo.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("no such database: " + typo.string()), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(typo));

    run = Dravel({"show"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("== Gestione determinazione contropartite =="), std::string::npos);
    EXPECT_TRUE(fs::exists(dir_ / "data/dravel/demo.db"));
}

// First runs at the same moment: one program makes the demo database, the others wait for it
// and find it made; none removes or empties what another made.
TEST_F(DravelCli, FirstRunsAtOnceShareOneDemoDatabase) {
    for (int round = 0; round < 5; ++round) {
        fs::remove_all(dir_ / "data");
        std::vector<pid_t> runs;
        for (int i = 0; i < 4; ++i) runs.push_back(Start({"show"}, std::to_string(i)));
        for (int i = 0; i < 4; ++i) {
            auto run = Finish(runs[i], std::to_string(i));
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_NE(run.out.find("== Gestione determinazione contropartite =="),
                      std::string::npos);
        }
    }
}

// Past `ulimit -f` a write fails like a full disk, instead of the signal killing the tool.
TEST_F(DravelCli, AFileSizeLimitIsAnErrorNotASignal) {
    auto run = Dravel({"create-db", "--demo", "--database", (dir_ / "big.db").string()}, 16384);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("dravel: Spazio su disco esaurito"), std::string::npos) << run.err;
    // Nothing half made is left to open: the next attempt, with room, makes the database.
    EXPECT_EQ(Dravel({"create-db", "--database", (dir_ / "big.db").string()}).exitCode, 0);
    EXPECT_EQ(Dravel({"create-db", "--database", (dir_ / "big.db").string()}).exitCode, 1);
}

// Where no display can be reached, the desktop host says why in its first line, shows the window
// as text, and points to the safe ways of seeing it remotely; it never falls back to Qt's VNC
// server, which would let anyone in.
TEST_F(DravelCli, TheDesktopHostShowsTheWindowAsTextWithoutADisplay) {
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    const struct {
        const char* display;
        const char* platform;
        const char* why;
    } cases[] = {
        {nullptr, nullptr, "neither DISPLAY nor WAYLAND_DISPLAY is set"},
        {":9999", nullptr, "the X server at DISPLAY=:9999 does not answer"},
        {nullptr, "vnc", "Qt's VNC server"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ScopedEnv display("DISPLAY", c.display);
        ScopedEnv platform("QT_QPA_PLATFORM", c.platform);
        Outcome run = Finish(Start({}, "host", RLIM_INFINITY, DRAVEL_HOST_PATH), "host");
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::string firstLine = run.out.substr(0, run.out.find('\n'));
        EXPECT_NE(firstLine.find(c.why), std::string::npos) << firstLine;
        EXPECT_NE(run.out.find("== Gestione determinazione contropartite =="), std::string::npos);
        EXPECT_NE(run.out.find("ssh -X"), std::string::npos);
    }
}

}  // namespace

// The exit status answers the question (0 found / clean, 1 not found / findings) and 2 says the
// command could not run, so that scripts can tell "no account" from a failure.
TEST_F(DravelCli, ResolveAndCheckAnswerWithTheirExitStatus) {
    auto found =
        Dravel({"resolve", "--company", "1", "--type", "0", "INDC=C00012", "coda=VITI-M6"});
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_NE(found.out.find("Contropartita 40.01.001, dal criterio 1. Cliente, Codice articolo"),
              std::string::npos)
        << found.out;
    auto none = Dravel({"resolve", "--company", "1", "--type", "0", "--json", "INDC=C00099"});
    EXPECT_EQ(none.exitCode, 1) << none.err;
    EXPECT_NE(none.out.find("\"account\": null"), std::string::npos) << none.out;
    EXPECT_EQ(Dravel({"resolve", "--company", "1", "--type", "0", "INDC"}).exitCode, 2);
    EXPECT_EQ(Dravel({"check", "--company", "9"}).exitCode, 2);

    auto findings = Dravel({"check", "--company", "1", "--language", "en"});
    EXPECT_EQ(findings.exitCode, 1) << findings.err;
    EXPECT_NE(findings.out.find("matrix row 6 is never reached: 1. Cliente, Codice articolo "
                                "answers first"),
              std::string::npos)
        << findings.out;
}
