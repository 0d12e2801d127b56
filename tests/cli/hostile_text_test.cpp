// Texts a terminal would take for commands, and bytes that are not UTF-8: stored by another
// program, they reach the screen escaped and replaced and never stop a report; given to the
// programs, they are refused at the door.

#include <gmock/gmock.h>

#include <nlohmann/json.hpp>

#include "platform/text/utf8.h"
#include "tests/support/module_session.h"
#include "tests/support/process.h"

namespace {

using ::testing::HasSubstr;

struct Outcome {
    int status;
    std::string out, err;
};

class HostileText : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Dravel({"create-db", "--demo", "--database", database_}).status, 0);
        // Criterion 1 answers resolve's posting and is quoted by check's unreachable row 6.
        Script(
            "sql \"UPDATE MGA0_QUINTAB SET MGA0_DESCR = 'Cliente' || char(27) || '[2J' || "
            "char(27) || ']0;x' || char(7) || CAST(X'E8' AS TEXT) WHERE MGA0_ID = 1\"\n");
    }

    Outcome Dravel(std::vector<std::string> args) {
        args.insert(args.begin(), DRAVEL_CLI_PATH);
        testing_support::Process program(args, testing_support::CurrentEnvironment(),
                                         folder_ / "out", folder_ / "err");
        const int status = program.WaitFor(std::chrono::seconds(60)).value_or(-1);
        std::ifstream err(folder_ / "err");
        Outcome run{status, program.Output(), {std::istreambuf_iterator<char>(err), {}}};
        std::filesystem::remove(folder_ / "err");
        return run;
    }

    Outcome Script(const std::string& text) {
        std::ofstream(folder_ / "script.dvs") << text;
        return Dravel({"script", (folder_ / "script.dvs").string(), "--database", database_});
    }

    testing_support::TestFolder folder_;
    const std::string database_ = (folder_ / "ditta.db").string();
};

constexpr const char* kStored = "Cliente\x1B[2J\x1B]0;x\a\xEF\xBF\xBD";  // as JSON reads it back
constexpr const char* kPrinted = "Cliente\\x1B[2J\\x1B]0;x\\x07\xEF\xBF\xBD";

TEST_F(HostileText, StoredControlsArePrintedEscapedAndOtherBytesReplaced) {
    const std::vector<std::string> resolve = {"resolve",      "--company",  "1",
                                              "--type",       "0",          "INDC=C00012",
                                              "CODA=VITI-M6", "--database", database_};
    const struct {
        std::string what;
        std::function<Outcome()> run;
        int status;
    } cases[] = {
        {"show",
         [&] {
             return Dravel({"show", "--database", database_});
         },
         0},
        {"check",
         [&] {
             return Dravel({"check", "--company", "1", "--database", database_});
         },
         1},
        {"resolve", [&] { return Dravel(resolve); }, 0},
        {"a script's failed expectation",
         [&] { return Script("open 1\nexpect field TXT_DESCR Cliente\n"); }, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto [status, out, err] = c.run();
        EXPECT_EQ(status, c.status) << out << err;
        EXPECT_THAT(out + err, HasSubstr(kPrinted));
        EXPECT_FALSE(std::any_of(out.begin(), out.end(), [](unsigned char b) {
            return (b < 0x20 && b != '\n') || b == 0x7F;
        }));
        EXPECT_TRUE(txt::IsUtf8(out + err));
    }

    // The JSON documents hold the text, replaced where it was not UTF-8.
    auto check = Dravel({"check", "--company", "1", "--json", "--database", database_});
    EXPECT_EQ(check.status, 1) << check.err;
    const auto findings = nlohmann::json::parse(check.out)["findings"];
    EXPECT_TRUE(std::any_of(findings.begin(), findings.end(), [](const auto& f) {
        return f.contains("earlier") && f["earlier"]["description"] == kStored;
    }));
    auto walk = resolve;
    walk.push_back("--json");
    auto resolved = Dravel(walk);
    EXPECT_EQ(resolved.status, 0) << resolved.err;
    EXPECT_EQ(nlohmann::json::parse(resolved.out)["criterion"]["description"], kStored);
}

// A value typed in a Latin-1 terminal, or a script saved in Latin-1, stores nothing.
TEST_F(HostileText, TextThatIsNotUtf8IsRefusedAtTheDoor) {
    auto argument = Dravel({"resolve", "--company", "1", "--type", "0", "--json", "INDC=a\xFF",
                            "--database", database_});
    EXPECT_EQ(argument.status, 2);
    EXPECT_EQ(argument.out, "");
    EXPECT_EQ(argument.err,
              "dravel: the argument \"INDC=a\xEF\xBF\xBD\" is not UTF-8 text; give it in UTF-8\n");

    auto script = Script("open 1\ntype TXT_DESCR \"caf\xE9\"\npress Conferma\n");
    EXPECT_EQ(script.status, 2);
    EXPECT_THAT(script.err, HasSubstr("script.dvs:2: byte 20 of the line is not UTF-8 text"));
}

}  // namespace
