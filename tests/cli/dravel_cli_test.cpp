// The command-line tool and the desktop host without a display: databases, the determination
// commands, the text window.

#include "tests/cli/dravel_cli.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing_support::DravelCli;
using testing_support::ScopedEnv;

constexpr const char* kWindowHeading = "== Gestione determinazione contropartite ==";

// Nothing in a path is syntax: not ';', not '=', not blanks at its ends, not a URI's '?'.
TEST_F(DravelCli, ADatabasePathNamesExactlyTheFileCreated) {
    for (std::string name : {"real;2024.db", "a=b.db", " blanks at both ends.db ", "a?b#c%d.db"}) {
        SCOPED_TRACE(name);
        fs::path folder = folder_ / "databases";
        fs::remove_all(folder);
        fs::create_directory(folder);
        auto [status, output] = Dravel({"create-db", "--database", (folder / name).string()});
        EXPECT_EQ(status, 0) << output;
        EXPECT_THAT(std::vector<fs::path>(fs::directory_iterator(folder), {}),
                    ::testing::ElementsAre(folder / name));
    }
}

// Only the demo database is made when missing, once, by whichever of several first runs at the
// same moment comes first: the others wait for it, none removes or empties what another made.
TEST_F(DravelCli, OnlyTheDemoDatabaseIsCreatedWhenMissing) {
    auto typo = folder_ / "typo.db";
    auto [status, output] = Dravel({"show", "--database", typo.string()});
    EXPECT_EQ(status, 1);
    EXPECT_THAT(output, HasSubstr("Il database " + typo.string() + " non esiste."));
    EXPECT_FALSE(fs::exists(typo));

    for (int round = 0; round < 5; ++round) {
        fs::remove_all(folder_ / "data");
        std::vector<std::unique_ptr<testing_support::Process>> runs;
        for (int i = 0; i < 4; ++i)
            runs.push_back(std::make_unique<testing_support::Process>(
                std::vector<std::string>{DRAVEL_CLI_PATH, "show"},
                testing_support::CurrentEnvironment(), folder_ / ("output" + std::to_string(i))));
        for (auto& run : runs) {
            EXPECT_EQ(run->WaitFor(std::chrono::seconds(60)), 0) << run->Output();
            EXPECT_THAT(run->Output(), HasSubstr(kWindowHeading));
        }
    }
    EXPECT_TRUE(fs::exists(folder_ / "data/dravel/demo.db"));
}

// Past `ulimit -f` a write fails like a full disk, instead of the signal killing the tool; nothing
// half made is left: the next attempt, with room, makes the database.
TEST_F(DravelCli, AFileSizeLimitIsAnErrorNotASignal) {
    const std::string file = (folder_ / "big.db").string();
    auto [status, output] =
        testing_support::RunToEnd({"/bin/sh", "-c", "ulimit -f 32 && exec \"$@\"", "sh",
                                   DRAVEL_CLI_PATH, "create-db", "--demo", "--database", file},
                                  folder_ / "output");
    EXPECT_EQ(status, 1);
    EXPECT_THAT(output, HasSubstr("dravel: Spazio su disco esaurito"));
    EXPECT_EQ(Dravel({"create-db", "--database", file}).first, 0);
    EXPECT_EQ(Dravel({"create-db", "--database", file}).first, 1);
}

// A database that holds some of the tables only is not a new one: create-db names the tables it
// lacks and leaves it as it is.
TEST_F(DravelCli, APartialDatabaseIsNamedAndLeftAsItIs) {
    const struct {
        std::vector<std::string> dropped;
        const char* missing;
    } cases[] = {
        {{"MGA1_MATRCPAR"}, "MGA1_MATRCPAR"},
        {{"MGA0_QUINTAB"}, "MGA0_QUINTAB"},
        {{"HOST_MEDIA", "HOST_DITTE"}, "HOST_DITTE, HOST_MEDIA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.missing);
        const fs::path file = folder_ / "partial.db";
        fs::remove(file);
        ASSERT_EQ(Dravel({"create-db", "--database", file}).first, 0);
        auto tables = [&] {
            auto connection = ado::Connection::Create();
            connection->Open(ado::SqliteConnectionString(file));
            return testing_support::Rows(
                *connection, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
        };
        {
            auto connection = ado::Connection::Create();
            connection->Open(ado::SqliteConnectionString(file));
            for (const auto& table : c.dropped) connection->Execute("DROP TABLE " + table);
        }
        const std::string before = tables();
        auto [status, output] = Dravel({"create-db", "--demo", "--database", file});
        EXPECT_EQ(status, 1);
        EXPECT_THAT(output,
                    HasSubstr("dravel: Il database " + file.string() +
                              " contiene solo una parte delle tabelle (mancano: " + c.missing +
                              "): un database incompleto non viene modificato."));
        EXPECT_EQ(tables(), before);
    }
}

// The exit status answers the question (0 found / clean, 1 not found / findings) and 2 says the
// command could not run, so that scripts can tell "no account" from a failure.
TEST_F(DravelCli, ResolveAndCheckAnswerWithTheirExitStatus) {
    auto found =
        Dravel({"resolve", "--company", "1", "--type", "0", "INDC=C00012", "coda=VITI-M6"});
    EXPECT_EQ(found.first, 0) << found.second;
    EXPECT_THAT(found.second,
                HasSubstr("Contropartita 40.01.001, dal criterio 1. Cliente, Codice articolo"));
    auto none = Dravel({"resolve", "--company", "1", "--type", "0", "--json", "INDC=C00099"});
    EXPECT_EQ(none.first, 1) << none.second;
    EXPECT_THAT(none.second, HasSubstr("\"account\": null"));
    EXPECT_EQ(Dravel({"resolve", "--company", "1", "--type", "0", "INDC"}).first, 2);
    EXPECT_EQ(Dravel({"check", "--company", "9"}).first, 2);
    auto findings = Dravel({"check", "--company", "1", "--language", "en"});
    EXPECT_EQ(findings.first, 1) << findings.second;
    EXPECT_THAT(
        findings.second,
        HasSubstr("matrix row 6 is never reached: 1. Cliente, Codice articolo answers first"));
}

// Where no display can be reached, the desktop host says why in its first line, shows the window
// as text, and points to the safe ways of seeing it remotely; it never falls back to Qt's VNC
// server, which would let anyone in.
TEST_F(DravelCli, TheDesktopHostShowsTheWindowAsTextWithoutADisplay) {
    const struct {
        const char* display;
        const char* platform;
        const char* why;
    } cases[] = {
        {nullptr, nullptr, "neither DISPLAY nor WAYLAND_DISPLAY is set"},
        {":9999", nullptr, "the X server at DISPLAY=:9999 does not answer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ScopedEnv display("DISPLAY", c.display);
        ScopedEnv platform("QT_QPA_PLATFORM", c.platform);
        auto [status, output] = testing_support::RunToEnd({DRAVEL_HOST_PATH}, folder_ / "output");
        ASSERT_EQ(status, 0) << output;
        EXPECT_THAT(output.substr(0, output.find('\n')), HasSubstr(c.why));
        EXPECT_THAT(output, HasSubstr(kWindowHeading));
        EXPECT_THAT(output, HasSubstr("ssh -X"));
    }
}

}  // namespace
