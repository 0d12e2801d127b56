// Started from the desktop's menu there is no terminal: a database the host cannot open is a
// message box with the reason, which the user closes, then the exit; the reason also goes to
// standard error.

#include <gmock/gmock.h>

#include "db/schema.h"
#include "db/schema_version.h"
#include "tests/desktop/desktop_host.h"

namespace test {
namespace {

struct FailureCase {
    const char* name;
    std::string content;  // of the database file
    bool demo;            // the file is the demo database, opened without --database
    const char* reason;
    const char* option = "--database";  // that names the file
};

// The bytes of a database with the schema, marked `version`.
std::string DatabaseOfVersion(const fs::path& file, int32_t version) {
    auto connection = ado::Connection::Create();
    connection->Open(ado::SqliteConnectionString(file));
    db::CreateSchema(*connection);
    db::WriteSchemaVersion(*connection, version);
    connection->Close();
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(DesktopHost, AFailureBeforeTheWindowOpensIsShownInABox) {
    const FailureCase cases[] = {
        {"older database", DatabaseOfVersion(folder_ / "old.db", 0), false,
         "aggiornarlo con dravel upgrade-db"},
        {"empty file", "", false, "HOST_DITTE"},
        {"demo database not a database", "garbage", true, "not a database"},
        {"database file others can read", "broken.db\n", false, "leggibile da altri utenti",
         "--database-file"},
    };
    const fs::path demo = folder_ / "home/.local/share/dravel/demo.db";
    fs::create_directories(demo.parent_path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = c.demo ? demo : folder_ / "broken.db";
        fs::remove(file);
        std::ofstream(file, std::ios::binary) << c.content;
        auto [status, output] =
            Run(std::string(kWaitForWindow) + R"sh(
timeout 60 "$DRAVEL_HOST" $ARGUMENTS & host=$!
window '^Dravel$'
xdotool key Return
wait $host)sh",
                {"ARGUMENTS=" + (c.demo ? "" : c.option + (" " + file.string()))});
        EXPECT_EQ(status, 1) << output;
        EXPECT_THAT(output, ::testing::HasSubstr(c.reason));
    }
}

}  // namespace
}  // namespace test
