#include "platform/ado/connection_string.h"

#include "platform/com/com_error.h"
#include "platform/text/text.h"

namespace ado {

namespace {

// The value in braces at the start of `rest`, which is left after the closing brace.
std::string BracedValue(std::string_view& rest, const std::string& key) {
    std::string value;
    for (size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] != '}') {
            value += rest[i];
        } else if (i + 1 < rest.size() && rest[i + 1] == '}') {
            value += '}';
            ++i;
        } else {
            rest.remove_prefix(i + 1);
            return value;
        }
    }
    throw com::ComError(
        com::err::Database,
        "The connection string opens a brace in its value for \"" + key + "\" and never closes it");
}

}  // namespace

std::string ConnectionSettings::Get(const std::string& key) const {
    for (const auto& [k, v] : entries)
        if (k == key) return v;
    return {};
}

bool ConnectionSettings::IsSqlite() const {
    return txt::EqualNoCase(Get("provider"), "sqlite");
}

// "key=value;..." as ODBC writes it: a value in braces is taken as it stands, ';' and blanks
// included, with "}}" for one '}'; other values end at the next ';' and lose their blanks.
ConnectionSettings ParseConnectionString(const std::string& connectionString) {
    ConnectionSettings settings;
    std::string_view rest = connectionString;
    auto skipBlanks = [&] { rest = txt::TrimStart(rest, txt::kWhiteSpace); };
    while (!rest.empty()) {
        size_t end = rest.find_first_of("=;");
        std::string key = txt::Lower(txt::Trim(rest.substr(0, end), txt::kWhiteSpace));
        bool hasValue = end != std::string_view::npos && rest[end] == '=';
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        std::string value;
        if (hasValue) {
            skipBlanks();
            if (!rest.empty() && rest.front() == '{') {
                value = BracedValue(rest, key);
                skipBlanks();
                if (!rest.empty() && rest.front() != ';')
                    // The string is not repeated in the message: it may carry a password.
                    throw com::ComError(com::err::Database,
                                        "The connection string has text after the closing brace "
                                        "of its value for \"" +
                                            key + "\"");
            } else {
                end = rest.find(';');
                value = txt::Trim(rest.substr(0, end), txt::kWhiteSpace);
                rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
            }
            if (!rest.empty()) rest.remove_prefix(1);  // the ';'
        }
        if (!key.empty()) settings.entries.emplace_back(std::move(key), std::move(value));
    }
    return settings;
}

std::string QuoteConnectionValue(const std::string& value) {
    bool plain =
        value.find(';') == std::string::npos &&
        (value.empty() || (value.front() != '{' && txt::Trim(value, txt::kWhiteSpace) == value));
    if (plain) return value;
    std::string quoted = "{";
    for (char c : value) {
        quoted += c;
        if (c == '}') quoted += '}';
    }
    return quoted + "}";
}

std::string SqliteConnectionString(const std::filesystem::path& file) {
    return "Provider=SQLite;Data Source=" + QuoteConnectionValue(file.string());
}

std::filesystem::path SqliteFile(const std::string& connectionString) {
    auto settings = ParseConnectionString(connectionString);
    return settings.IsSqlite() ? settings.Get("data source") : std::string();
}

bool IsConnectionString(std::string_view text) {
    return txt::StartsWithNoCase(text, "provider=") || txt::StartsWithNoCase(text, "driver=") ||
           txt::StartsWithNoCase(text, "dsn=");
}

std::string OdbcConnectTarget(const std::string& connectionString) {
    const auto settings = ParseConnectionString(connectionString);
    const std::string driver = txt::Lower(settings.Get("driver"));
    const bool postgresql = driver.find("psqlodbc") != std::string::npos ||
                            driver.find("postgresql") != std::string::npos;
    if (!postgresql || !settings.Get("protocol").empty()) return connectionString;
    return std::string(txt::TrimEnd(connectionString, " \t;")) + ";Protocol=7.4-0";
}

std::string DatabaseLabel(const std::string& connectionString) {
    auto settings = ParseConnectionString(connectionString);
    std::string source = settings.Get("data source");
    if (!source.empty()) return source;
    std::string shown;
    for (const auto& [key, value] : settings.entries) {
        if (key == "pwd" || key == "password") continue;
        if (!shown.empty()) shown += ";";
        shown += key + "=" + QuoteConnectionValue(value);
    }
    return shown;
}

std::filesystem::path ExistingSqliteFile(const std::string& connectionString) {
    std::filesystem::path file = SqliteFile(connectionString);
    std::error_code ec;
    if (!file.empty() &&
        std::filesystem::status(file, ec).type() == std::filesystem::file_type::not_found)
        throw com::ComError(com::err::FileNotFound, "Il database %1 non esiste.")
            .SetValues({file.string()});
    return file;
}

}  // namespace ado
