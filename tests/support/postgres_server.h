#pragma once
// A throw-away PostgreSQL server for the tests of one program: initdb into a temporary folder,
// reachable only through a Unix socket in that folder (no TCP listener), run by an unprivileged
// user when the tests run as root (the server refuses root), reached through the psqlODBC driver
// named by its path in the connection string, so that nothing is registered outside the test (an
// ODBCSYSINI set by the program would be read only if no ODBC call came before it). A watchdog
// process stops the server and removes the folder as soon as this program ends, however it ends.

#include <fcntl.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ado/connection.h"
#include "platform/ado/recordset.h"
#include "tests/support/process.h"

namespace testing_support {

class PostgresServer {
  public:
    // The server of this program, started at its first use.
    static PostgresServer& Shared() {
        static PostgresServer* server = new PostgresServer();  // the watchdog stops it
        return *server;
    }

    // A new database (an existing one of that name is dropped first), copied from `from` when
    // given; returns its connection string.
    std::string CreateDatabase(const std::string& name, const std::string& from = {}) {
        try {
            auto admin = ado::Connection::Create();
            admin->Open(ConnectionString("postgres"));
            admin->Execute("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
            admin->Execute("CREATE DATABASE " + name + (from.empty() ? "" : " TEMPLATE " + from));
            admin->Close();
        } catch (const com::ComError& e) {
            throw std::runtime_error("Cannot create the PostgreSQL database " + name + ": " +
                                     e.Description() + "\n" + e.Detail());
        }
        return ConnectionString(name);
    }

    // Reaching the server through its socket's folder, or through `via` (a relay's folder).
    std::string ConnectionString(const std::string& database,
                                 const std::filesystem::path& via = {}) const {
        return "Driver=" + driver_ + ";Server=" + (via.empty() ? dir_ : via).string() +
               ";Port=5432;Database=" + database + ";UID=dravel";
    }

    // `connectionString` (one of this server's) as another role.
    static std::string As(std::string connectionString, const std::string& role) {
        return connectionString.replace(connectionString.rfind(";UID="), std::string::npos,
                                        ";UID=" + role);
    }

    // The one role that logs in only with its password (the server trusts every other role); a
    // test creates it (CREATE ROLE ... LOGIN PASSWORD ...) when it needs it.
    static constexpr const char* kPasswordRole = "dravel_password";

    // The folder of the server's socket.
    const std::filesystem::path& Directory() const { return dir_; }

    // Stops the server at once, as a crash or a power cut would (its clients lose their
    // connections without a word), and starts it again.
    void Stop() {
        Run({bin_ + "/pg_ctl", "-D", (dir_ / "data").string(), "-m", "immediate", "-w", "stop"});
    }
    void Start() {
        Run({bin_ + "/pg_ctl", "-D", (dir_ / "data").string(), "-l", (dir_ / "server.log").string(),
             "-w", "-o",
             "-k " + dir_.string() + " -c listen_addresses='' -c fsync=off -c max_connections=40",
             "start"});
    }

    // The psqlODBC driver, named by its path in connection strings.
    static std::string DriverPath() {
        for (const char* arch : {"x86_64-linux-gnu/", "aarch64-linux-gnu/", ""})
            if (auto p = std::string("/usr/lib/") + arch + "odbc/psqlodbcw.so";
                std::filesystem::exists(p))
                return p;
        throw std::runtime_error("the psqlODBC driver is not installed: run scripts/bootstrap");
    }

  private:
    PostgresServer() : driver_(DriverPath()), bin_(ServerBinaries()) {
        char pattern[] = "/tmp/dravel-pg-XXXXXX";
        if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
        QuietDriver();
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody) throw std::runtime_error("no user \"nobody\" to run PostgreSQL as");
            uid_ = nobody->pw_uid;
            gid_ = nobody->pw_gid;
            if (::chown(dir_.c_str(), uid_, gid_) != 0)
                throw std::runtime_error("cannot hand " + dir_.string() + " to nobody");
        }
        Run({bin_ + "/initdb", "-D", (dir_ / "data").string(), "-A", "trust", "-U", "dravel", "-E",
             "UTF8", "--locale=C.UTF-8", "--no-sync"});
        RequirePassword();
        Start();
        StartWatchdog();
    }

    // Debian registers the driver with its communication log on, and the driver reads that
    // setting from its section of odbcinst.ini whatever the connection string says: every process
    // that connected would leave a psqlodbc_*.log in /tmp. This program and its children read a
    // driver list of their own instead, named before their first ODBC call (the driver manager
    // reads ODBCSYSINI once).
    void QuietDriver() {
        if (!(std::ofstream(dir_ / "odbcinst.ini")
              << "[PostgreSQL Unicode]\nDriver=" << driver_ << "\nCommLog=0\nDebug=0\n"))
            throw std::runtime_error("cannot write the driver list in " + dir_.string());
        ::setenv("ODBCSYSINI", dir_.c_str(), 1);
    }

    // Put before initdb's lines, which trust every local connection.
    void RequirePassword() const {
        const auto rules = dir_ / "data/pg_hba.conf";
        std::ifstream in(rules);
        const std::string trusted((std::istreambuf_iterator<char>(in)), {});
        std::ofstream(rules) << "local all " << kPasswordRole << " scram-sha-256\n" << trusted;
    }

    // The newest installed server's programs.
    static std::string ServerBinaries() {
        std::filesystem::path newest;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator("/usr/lib/postgresql", ec))
            if (std::filesystem::exists(e.path() / "bin/initdb") &&
                (newest.empty() || std::stoi(e.path().filename()) > std::stoi(newest.filename())))
                newest = e.path();
        if (newest.empty())
            throw std::runtime_error("PostgreSQL is not installed: run scripts/bootstrap");
        return newest / "bin";
    }

    // Runs a server program as the server's user; its output goes to the server's folder.
    void Run(std::vector<std::string> args) {
        if (uid_ != 0)
            args.insert(args.begin(), {"/usr/bin/setpriv", "--reuid=" + std::to_string(uid_),
                                       "--regid=" + std::to_string(gid_), "--clear-groups"});
        auto [status, output] = RunToEnd(args, dir_ / "setup.log", std::chrono::minutes(5));
        if (status != 0) throw std::runtime_error(args[0] + " failed:\n" + output);
    }

    // A child that waits for this program's end (its end of a pipe closes) and then stops the
    // server and removes the folder.
    void StartWatchdog() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[1]);
            char c;
            while (::read(fds[0], &c, 1) > 0) {
            }
            try {
                Stop();
            } catch (...) {
            }
            std::error_code ec;
            std::filesystem::remove_all(dir_, ec);
            ::_exit(0);
        }
        ::close(fds[0]);  // the write end stays open, unseen by other children, until the end
    }

    std::string driver_, bin_;
    std::filesystem::path dir_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

}  // namespace testing_support
