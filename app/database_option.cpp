#include "app/database_option.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>

#include "app/language.h"
#include "platform/ado/connection_string.h"
#include "platform/com/com_error.h"
#include "platform/com/user_files.h"

namespace app {

namespace {

// The file's first line. The file and the folders on its path must be such that nobody but the
// user and root can change them (as for the registry), and the file such that nobody else can
// read it (a file of root's the user can read is one others can read too).
std::string ReadDatabaseFile(const std::string& file) {
    com::Descriptor fd = com::OpenTrusted(file, O_RDONLY);
    struct stat st {};
    if (!fd || ::fstat(fd.Get(), &st) != 0)
        throw com::ComError(com::err::FileNotFound,
                            "Cannot read " + file + ": " + std::strerror(errno));
    if (st.st_mode & (S_IRGRP | S_IROTH))
        throw com::ComError(
            com::err::PathFileAccess,
            ProgramText("Il file %1 è leggibile da altri utenti: la stringa di connessione va "
                        "tenuta in un file che solo il proprietario può leggere (chmod 600 %1).",
                        {file}));
    const std::string content = com::ReadToEnd(fd, file);
    std::string line = content.substr(0, content.find('\n'));
    if (line.ends_with('\r')) line.pop_back();
    if (line.empty())
        throw com::ComError(com::err::InvalidCall,
                            ProgramText("Il file %1 non indica un database.", {file}));
    return line;
}

}  // namespace

void AddDatabaseOptions(CLI::App& command, DatabaseOptions& options, const std::string& fallback) {
    command.add_option("--database", options.database,
                       "SQLite file or connection string (default: " + fallback + ")");
    command.add_option("--database-file", options.file,
                       "a file, readable by its owner alone, whose first line is the database");
}

std::string ChosenDatabase(const DatabaseOptions& options, bool environment) {
    if (!options.database.empty()) return options.database;
    if (!options.file.empty()) return ReadDatabaseFile(options.file);
    return environment ? com::Environment("DRAVEL_DATABASE") : std::string();
}

void HidePasswords(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        // The value of an option on its own, or after "--option=".
        std::string_view argument = argv[i];
        size_t equals = argument.find('=');
        size_t start =
            argument.starts_with("--") && equals != std::string_view::npos ? equals + 1 : 0;
        const std::string text(argument.substr(start));
        if (!ado::IsConnectionString(text)) continue;
        std::string shown;  // nothing of a connection string that does not parse
        try {
            auto settings = ado::ParseConnectionString(text);
            if (settings.Get("pwd").empty() && settings.Get("password").empty()) continue;
            shown = ado::DatabaseLabel(text);
        } catch (const com::ComError&) {
        }
        char* value = argv[i] + start;
        std::memset(value, 0, text.size());
        std::memcpy(value, shown.data(), std::min(shown.size(), text.size()));
    }
}

}  // namespace app
