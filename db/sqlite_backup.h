#pragma once
// Consistent copies of an SQLite database file, made with SQLite's online backup while other
// programs go on reading and writing it.

#include <cstdint>
#include <filesystem>

namespace db {

// A name for the backup of `file` at schema version `version` that no file has: FILE.vN.bak, else
// FILE.vN.1.bak, FILE.vN.2.bak...
std::filesystem::path BackupName(const std::filesystem::path& file, int32_t version);

// Copies the database `file` to `output`, which must not exist (error 58, and it is left alone).
// The copy is written under a temporary name in `output`'s folder and given its name only once
// complete, so that a copy cut short never takes it; it has `file`'s permissions.
void BackupDatabase(const std::filesystem::path& file, const std::filesystem::path& output);

// Copies `file` to the first free BackupName beside it; returns that name.
std::filesystem::path BackupBeside(const std::filesystem::path& file, int32_t version);

}  // namespace db
