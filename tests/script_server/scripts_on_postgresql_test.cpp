// Every session script of tests/scripts run by the built dravel on a PostgreSQL database that
// `dravel create-db` gave the schema, as an administrator runs one against a server.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/module_session.h"
#include "tests/support/process.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Scripts() {
    std::vector<fs::path> scripts(fs::directory_iterator(DRAVEL_SCRIPTS_DIR), {});
    std::erase_if(scripts, [](const fs::path& p) { return p.extension() != ".dvs"; });
    std::sort(scripts.begin(), scripts.end());
    return scripts;
}

class SessionScriptOnPostgresql : public ::testing::TestWithParam<fs::path> {
  protected:
    std::pair<int, std::string> Dravel(std::vector<std::string> args) {
        args.insert(args.begin(), DRAVEL_CLI_PATH);
        return testing_support::RunToEnd(std::move(args), folder_ / "dravel.out");
    }

    testing_support::TestFolder folder_;
};

TEST_P(SessionScriptOnPostgresql, Holds) {
    auto& server = testing_support::PostgresServer::Shared();
    // The schema is made once, in a template that each script's database copies.
    static const auto schema =
        Dravel({"create-db", "--database", server.CreateDatabase("scripts_template")});
    ASSERT_EQ(schema.first, 0) << schema.second;
    auto [status, output] = Dravel({"script", GetParam().string(), "--database",
                                    server.CreateDatabase("script", "scripts_template")});
    EXPECT_EQ(status, 0) << output;
}

INSTANTIATE_TEST_SUITE_P(, SessionScriptOnPostgresql, ::testing::ValuesIn(Scripts()),
                         [](const auto& instance) { return instance.param.stem().string(); });

}  // namespace
