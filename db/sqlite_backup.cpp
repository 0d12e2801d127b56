#include "db/sqlite_backup.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "platform/ado/connection_string.h"
#include "platform/ado/sqlite/sqlite_error.h"
#include "platform/com/com_error.h"

namespace fs = std::filesystem;

namespace db {

namespace {

// Whether anything has the name, a link to nowhere too.
bool Taken(const fs::path& name) {
    std::error_code ec;
    return fs::symlink_status(name, ec).type() != fs::file_type::not_found;
}

com::ComError AlreadyThere(const fs::path& output) {
    com::ComError error(com::err::FileAlreadyExists,
                        "Il file %1 esiste già: nulla è stato modificato.");
    error.SetValues({output.string()});
    return error;
}

[[noreturn]] void FileFailed(const std::string& what, const fs::path& file) {
    throw com::ComError(com::err::PathFileAccess,
                        what + " " + file.string() + ": " + std::strerror(errno));
}

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

Database Open(const fs::path& file, int flags) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
    Database opened(db);
    if (rc != SQLITE_OK) throw ado::detail::SqliteError(db, rc, "Opening " + file.string());
    return opened;
}

// Copies the database in one step, which reads it under one lock: the copy is of one moment.
// A writer holding the file off makes it wait, as the programs wait for each other.
void Copy(const fs::path& file, const fs::path& to) {
    const auto source = Open(file, SQLITE_OPEN_READONLY);
    const auto target = Open(to, SQLITE_OPEN_READWRITE);
    const std::string context = "Backing up " + file.string() + " to " + to.string();
    sqlite3_backup* backup = sqlite3_backup_init(target.get(), "main", source.get(), "main");
    if (!backup) throw ado::detail::SqliteError(target.get(), SQLITE_ERROR, context);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int rc = SQLITE_OK;
    while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (std::chrono::steady_clock::now() > deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw ado::detail::SqliteError(rc == SQLITE_BUSY ? nullptr : target.get(), rc, context);
}

// Makes what was written in `folder` (a new name) survive a power cut.
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

fs::path BackupName(const fs::path& file, int32_t version) {
    const std::string stem = file.string() + ".v" + std::to_string(version);
    fs::path name = stem + ".bak";
    for (int n = 1; Taken(name); ++n) name = stem + "." + std::to_string(n) + ".bak";
    return name;
}

void BackupDatabase(const fs::path& file, const fs::path& output) {
    if (Taken(output)) throw AlreadyThere(output);
    ado::ExistingSqliteFile(ado::SqliteConnectionString(file));
    struct stat original {};
    if (::stat(file.c_str(), &original) != 0) FileFailed("Cannot read", file);
    const fs::path folder = fs::absolute(output).parent_path();
    std::string temporary = (folder / ("." + output.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) FileFailed("Cannot create", temporary);
    ::fchmod(fd, original.st_mode & 0777);
    ::close(fd);
    try {
        Copy(file, temporary);
        // A link never replaces a file that took the name meanwhile, as a rename would.
        if (::link(temporary.c_str(), output.c_str()) != 0) {
            if (errno == EEXIST) throw AlreadyThere(output);
            FileFailed("Cannot name the backup", output);
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    ::unlink(temporary.c_str());
    SyncFolder(folder);
}

fs::path BackupBeside(const fs::path& file, int32_t version) {
    for (;;) {
        const fs::path name = BackupName(file, version);
        try {
            BackupDatabase(file, name);
            return name;
        } catch (const com::ComError& e) {
            if (e.Number() != com::err::FileAlreadyExists) throw;  // else taken meanwhile
        }
    }
}

}  // namespace db
