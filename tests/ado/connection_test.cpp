// Opening a connection: connection strings, and SQLite files this user cannot write.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "platform/ado/backend.h"
#include "tests/ado/temp_database.h"

namespace dravel::testing {
namespace {

TEST(ConnectionString, BracesQuoteAValueAsItStands) {
    struct Case {
        const char* text;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"Provider=SQLite;Data Source={/x/real;2024.db}", "data source", "/x/real;2024.db"},
        {"Data Source = { a}}b } ;Provider=SQLite", "data source", " a}b "},
        {"Driver={PostgreSQL};Server=localhost", "driver", "PostgreSQL"},
        {"DSN=conti;PWD=p=q}", "pwd", "p=q}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ado::detail::ParseConnectionString(c.text).Get(c.key), c.value);
    }
    // Errors name the key, never the value: it may be a password.
    for (const char* bad : {"PWD={segreto;Server=x", "PWD={segreto}x;Server=x"}) {
        std::string description;
        EXPECT_EQ(ErrorOf([&] { ado::detail::ParseConnectionString(bad); }, &description),
                  com::err::Database);
        EXPECT_NE(description.find("\"pwd\""), std::string::npos) << description;
        EXPECT_EQ(description.find("segreto"), std::string::npos) << description;
    }
}

// Runs `work` in a child process as an ordinary user (root writes whatever the modes say);
// returns what it returns, or the description of the error it throws.
std::string AsOrdinaryUser(const std::function<std::string()>& work) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::string out;
        try {
            constexpr uid_t kNobody = 65534;
            if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
                out = "cannot leave root";
            else
                out = work();
        } catch (const com::ComError& e) {
            out = e.Description();
        }
        if (write(fds[1], out.data(), out.size()) < 0) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    std::string out;
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return out;
}

struct Access {
    const char* name;
    const char* journal;  // the mode the database's owner chose
    mode_t folder;
    mode_t file;
    bool writable;
};
void PrintTo(const Access& a, std::ostream* os) {
    *os << a.name;
}

class OpenAccess : public TempDatabase, public ::testing::WithParamInterface<Access> {};

// Viewing never changes the database: a file or folder this user cannot write opens read-only,
// writing then fails clearly, and the journal mode stays the owner's.
TEST_P(OpenAccess, ReadsWhatItCanAndKeepsTheJournalMode) {
    const Access& a = GetParam();
    conn_->Execute(std::string("PRAGMA journal_mode=") + a.journal);
    conn_->Execute("INSERT INTO HOST_DITTE (DITTA_CODICE, DITTA_RAGSOC) VALUES (1, 'Uno')");
    conn_ = nullptr;  // the last connection removes the WAL's files
    auto file = *folder_ / "test.db";
    if (geteuid() == 0) {
        ASSERT_EQ(chown(folder_->Path().c_str(), 65534, 65534), 0);
        ASSERT_EQ(chown(file.c_str(), 65534, 65534), 0);
    }
    ASSERT_EQ(chmod(file.c_str(), a.file), 0);
    ASSERT_EQ(chmod(folder_->Path().c_str(), a.folder), 0);

    std::string seen = AsOrdinaryUser([&] {
        auto c = Connect();
        std::string rows =
            c->Execute("SELECT COUNT(*) FROM HOST_DITTE")->Fields(0).Value().ToText();
        try {
            c->Execute("INSERT INTO HOST_DITTE (DITTA_CODICE, DITTA_RAGSOC) VALUES (2, 'Due')");
            return rows + " written";
        } catch (const com::ComError& e) {
            return rows + " " + e.Description();
        }
    });
    // The row is read; the write goes through only where this user may write.
    EXPECT_EQ(seen.rfind("1 ", 0), 0u) << seen;
    EXPECT_NE(seen.find(a.writable ? "written" : "Il database è in sola lettura"),
              std::string::npos)
        << seen;

    chmod(folder_->Path().c_str(), 0700);
    chmod(file.c_str(), 0600);
    EXPECT_EQ(Connect()->Execute("PRAGMA journal_mode")->Fields(0).Value().ToText(), a.journal);
}

INSTANTIATE_TEST_SUITE_P(FilesAndFolders, OpenAccess,
                         ::testing::Values(Access{"Writable", "delete", 0755, 0644, true},
                                           Access{"ReadOnlyFile", "delete", 0755, 0444, false},
                                           Access{"ReadOnlyFileWal", "wal", 0755, 0444, false},
                                           Access{"ReadOnlyFolder", "delete", 0555, 0644, false},
                                           Access{"ReadOnlyFolderWal", "wal", 0555, 0644, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dravel::testing
