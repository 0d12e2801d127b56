#pragma once
// The demo database is the programs' own: one an earlier version made is upgraded when a program
// opens it, where a database the user named is refused (otherwise `make run` after an update
// would stop at it).

#include <filesystem>

namespace app {

// Brings the demo database `file` up to this program's schema version when it holds the tables
// of an older one: copies it beside itself first (FILE.vN.bak), then upgrades it and says so in
// one line on standard error. A file that does not exist, holds none of the tables or is of this
// version or a newer one is left for the session to create or refuse.
void UpgradeDemoDatabase(const std::filesystem::path& file);

}  // namespace app
