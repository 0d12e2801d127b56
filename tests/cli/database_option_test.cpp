// Where the programs take their database from (--database, --database-file, DRAVEL_DATABASE, the
// demo database, in this order), and a password given on the command line, which the process
// list shows to every local user, taken out of it as the programs start.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <fstream>

#include "tests/cli/dravel_cli.h"

namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;
using testing_support::DravelCli;
using testing_support::OneLine;
using testing_support::ScopedEnv;

class DatabaseOption : public DravelCli {
  protected:
    // A database whose one company is named `name`.
    std::string Database(const std::string& name) {
        const std::string db = (folder_ / (name + ".db")).string();
        EXPECT_EQ(Dravel({"create-db", "--database", db}).first, 0);
        EXPECT_EQ(Dravel({"company", "add", "--database", db, "--code", "1", "--name", name}).first,
                  0);
        return db;
    }
    // A file holding `text`, with permissions `mode`.
    std::string File(const std::string& name, const std::string& text, fs::perms mode) {
        const fs::path file = folder_ / name;
        std::ofstream(file) << text;
        fs::permissions(file, mode);
        return file.string();
    }
};

TEST_F(DatabaseOption, TheOptionThenTheFileThenTheEnvironmentThenTheDemoDatabase) {
    const std::string a = Database("Ditta A"), b = Database("Ditta B");
    const std::string fileB = File("b.conn", b + "\nignored\n", fs::perms::owner_read);
    const struct {
        std::vector<std::string> args;
        const char* environment;
        const char* opened;
    } cases[] = {
        {{"--database", a, "--database-file", fileB}, b.c_str(), "Ditta A"},
        {{"--database-file", fileB}, a.c_str(), "Ditta B"},
        {{}, a.c_str(), "Ditta A"},
        {{}, nullptr, "Ferramenta Lombarda S.p.A."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        ScopedEnv environment("DRAVEL_DATABASE", c.environment);
        std::vector<std::string> args = {"company", "list"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_THAT(Dravel(args), ::testing::Pair(0, HasSubstr(c.opened)));
    }
    // A session script is meant for a throw-away database: the environment does not reach it.
    const std::string script = File(
        "count.dvs", "expect query \"SELECT COUNT(*) FROM HOST_DITTE\" 0\n", fs::perms::owner_read);
    ScopedEnv environment("DRAVEL_DATABASE", a.c_str());
    auto fresh = Dravel({"script", script});
    EXPECT_EQ(fresh.first, 0) << fresh.second;
    EXPECT_THAT(Dravel({"script", script, "--database-file", fileB}),
                ::testing::Pair(1, HasSubstr("expected \"0\", got \"1\"")));
}

// Refused in one line, and nothing else is opened in its place.
TEST_F(DatabaseOption, ADatabaseFileIsTheUsersAlone) {
    const std::string a = Database("Ditta A");
    using enum fs::perms;
    const struct {
        std::string file;
        const char* says;
    } cases[] = {
        {File("group.conn", a, owner_read | group_read),
         "è leggibile da altri utenti: la stringa di connessione va tenuta in un file che solo il "
         "proprietario può leggere (chmod 600 "},
        {File("others.conn", a, owner_read | others_read), "è leggibile da altri utenti"},
        {File("written.conn", a, owner_read | group_write), "is writable by its group"},
        {File("empty.conn", "\n" + a, owner_read), "non indica un database"},
        {(folder_ / "missing.conn").string(), "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_THAT(Dravel({"show", "--database-file", c.file}),
                    ::testing::Pair(1, AllOf(HasSubstr(c.file), HasSubstr(c.says), OneLine())));
    }
    EXPECT_FALSE(fs::exists(folder_ / "data/dravel/demo.db"));
}

// A server that takes the connection and never answers keeps the programs waiting with their
// options read: what the process list shows of them then has no password left.
TEST_F(DatabaseOption, APasswordOnTheCommandLineLeavesTheProcessList) {
    const fs::path socketFolder = folder_ / "server";
    fs::create_directory(socketFolder);
    int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (socketFolder / ".s.PGSQL.5432").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 8), 0);
    const std::string connection = "Driver=" + testing_support::PostgresServer::DriverPath() +
                                   ";Server=" + socketFolder.string() +
                                   ";Port=5432;Database=ditta;UID=mario;PWD={se;cret};CommLog=0";
    const std::vector<std::string> runs[] = {
        {DRAVEL_CLI_PATH, "show", "--database", connection},
        {DRAVEL_CLI_PATH, "show", "--database=" + connection},
        {DRAVEL_HOST_PATH, "--database", connection},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run[0] + " " + run[1]);
        testing_support::Process program(run, testing_support::CurrentEnvironment(),
                                         folder_ / "output");
        pollfd waiting{listener, POLLIN, 0};
        ASSERT_EQ(::poll(&waiting, 1, 30000), 1) << program.Output();
        int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        std::ifstream cmdline("/proc/" + std::to_string(program.Pid()) + "/cmdline");
        std::string shown{std::istreambuf_iterator<char>(cmdline), {}};
        EXPECT_THAT(shown,
                    AllOf(Not(HasSubstr("cret")), HasSubstr("uid=mario"), HasSubstr("--database")));
        program.Kill();
        ::close(client);
    }
    ::close(listener);
}

}  // namespace
