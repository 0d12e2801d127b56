// Texts a terminal would take for commands, and bytes that are not UTF-8: stored by another
// program, they reach the screen escaped and replaced and never stop a report; given to the
// programs, they are refused at the door.

#include <nlohmann/json.hpp>

#include "platform/text/utf8.h"
#include "tests/cli/dravel_cli.h"

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
        testing_support::OpenDatabase(database_)->Execute(
            "UPDATE MGA0_QUINTAB SET MGA0_DESCR = 'Cliente' || char(27) || '[2J' || char(27) || "
            "']0;x' || char(7) || CAST(X'E8' AS TEXT) WHERE MGA0_ID = 1");
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

    testing_support::TestFolder folder_;
    const std::string database_ = (folder_ / "ditta.db").string();
};

constexpr const char* kPrinted = "Cliente\\x1B[2J\\x1B]0;x\\x07\xEF\xBF\xBD";

TEST_F(HostileText, StoredControlsArePrintedEscapedAndOtherBytesReplaced) {
    std::ofstream(folder_ / "expect.dvs") << "open 1\nexpect field TXT_DESCR Cliente\n";
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"show"}, 0},
        {{"check", "--company", "1"}, 1},
        {{"resolve", "--company", "1", "--type", "0", "INDC=C00012", "CODA=VITI-M6"}, 0},
        {{"script", (folder_ / "expect.dvs").string()}, 1},  // a failed expectation quotes it
        {{"resolve", "--company", "1", "--type", "0", "INDC=C00012", "CODA=VITI-M6", "--json"}, 0},
    };
    for (auto c : cases) {
        const bool json = c.args.back() == "--json";
        c.args.insert(c.args.end(), {"--database", database_});
        auto [status, out, err] = Dravel(c.args);
        SCOPED_TRACE(c.args[0] + (json ? " --json" : ""));
        EXPECT_EQ(status, c.status) << out << err;
        EXPECT_TRUE(txt::IsUtf8(out + err));
        if (json) {
            EXPECT_NO_THROW((void)nlohmann::json::parse(out));
            continue;
        }
        EXPECT_THAT(out + err, HasSubstr(kPrinted));
        EXPECT_FALSE(std::any_of(out.begin(), out.end(), [](unsigned char b) {
            return (b < 0x20 && b != '\n') || b == 0x7F;
        }));
    }
}

TEST_F(HostileText, AnArgumentThatIsNotUtf8IsRefusedAtTheDoor) {
    auto [status, out, err] = Dravel({"resolve", "--company", "1", "--type", "0", "--json",
                                      "INDC=a\xFF", "--database", database_});
    EXPECT_EQ(status, 2);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err,
              "dravel: l'argomento \"INDC=a\xEF\xBF\xBD\" non è testo UTF-8: va dato in UTF-8\n");
}

}  // namespace
