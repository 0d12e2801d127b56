// Connection strings and the choice of provider.

#include <algorithm>
#include <cctype>

#include "platform/ado/backend.h"
#include "platform/ado/odbc/odbc_backend.h"
#include "platform/ado/sqlite/sqlite_backend.h"
#include "platform/com/com_error.h"

namespace ado::detail {

namespace {

std::string Trim(std::string_view s) {
    auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return std::string(s);
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

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

// "key=value;..." as ODBC writes it: a value in braces is taken as it stands, ';' and blanks
// included, with "}}" for one '}'; other values end at the next ';' and lose their blanks.
ConnectionSettings ParseConnectionString(const std::string& connectionString) {
    ConnectionSettings settings;
    std::string_view rest = connectionString;
    auto skipBlanks = [&] {
        while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.front())))
            rest.remove_prefix(1);
    };
    while (!rest.empty()) {
        size_t end = rest.find_first_of("=;");
        std::string key = Lower(Trim(rest.substr(0, end)));
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
                value = Trim(rest.substr(0, end));
                rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
            }
            if (!rest.empty()) rest.remove_prefix(1);  // the ';'
        }
        if (!key.empty()) settings.entries.emplace_back(std::move(key), std::move(value));
    }
    return settings;
}

std::string QuoteConnectionValue(const std::string& value) {
    auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    bool plain =
        value.find(';') == std::string::npos &&
        (value.empty() || (value.front() != '{' && !blank(value.front()) && !blank(value.back())));
    if (plain) return value;
    std::string quoted = "{";
    for (char c : value) {
        quoted += c;
        if (c == '}') quoted += '}';
    }
    return quoted + "}";
}

std::unique_ptr<Backend> OpenProvider(const std::string& connectionString, int32_t timeoutSeconds) {
    ConnectionSettings settings = ParseConnectionString(connectionString);
    std::unique_ptr<Backend> backend;
    if (Lower(settings.Get("provider")) == "sqlite") {
        backend = std::make_unique<SqliteBackend>();
        backend->Open(settings.Get("data source"), timeoutSeconds);
        return backend;
    }
    if (!settings.Get("driver").empty() || !settings.Get("dsn").empty()) {
        backend = std::make_unique<OdbcBackend>();
        backend->Open(connectionString, timeoutSeconds);
        return backend;
    }
    // The string is not repeated in the message: it may carry a password.
    throw com::ComError(com::err::Database,
                        "The connection string names no provider: \"Provider=SQLite;Data "
                        "Source=PATH\", or an ODBC driver (\"Driver={...};...\" or \"DSN=...\")");
}

std::string InsertSql(const InsertParts& insert, const std::string& output,
                      const std::string& returning) {
    std::string sql = "INSERT INTO " + insert.table;
    if (!insert.columns.empty()) sql += " (" + insert.columns + ")";
    if (!output.empty()) sql += " " + output;
    sql += insert.columns.empty() ? " DEFAULT VALUES" : " VALUES (" + insert.marks + ")";
    if (!returning.empty()) sql += " " + returning;
    return sql;
}

}  // namespace ado::detail
