// Connection strings and the choice of provider.

#include <algorithm>
#include <cctype>

#include "platform/ado/backend.h"
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

}  // namespace

std::string ConnectionSettings::Get(const std::string& key) const {
    for (const auto& [k, v] : entries)
        if (k == key) return v;
    return {};
}

ConnectionSettings ParseConnectionString(const std::string& connectionString) {
    ConnectionSettings settings;
    std::string_view rest = connectionString;
    while (!rest.empty()) {
        size_t end = rest.find(';');
        std::string_view part = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        size_t eq = part.find('=');
        std::string key = Lower(Trim(part.substr(0, eq)));
        if (key.empty()) continue;
        std::string value =
            eq == std::string_view::npos ? std::string() : Trim(part.substr(eq + 1));
        settings.entries.emplace_back(std::move(key), std::move(value));
    }
    return settings;
}

std::unique_ptr<Backend> OpenProvider(const std::string& connectionString, int32_t timeoutSeconds) {
    ConnectionSettings settings = ParseConnectionString(connectionString);
    std::unique_ptr<Backend> backend;
    if (Lower(settings.Get("provider")) == "sqlite") {
        backend = std::make_unique<SqliteBackend>();
        backend->Open(settings.Get("data source"), timeoutSeconds);
        return backend;
    }
    // The string is not repeated in the message: it may carry a password.
    throw com::ComError(com::err::Database,
                        "Only \"Provider=SQLite;Data Source=PATH\" connections can be opened: the "
                        "ODBC provider that other connection strings need is not built yet");
}

}  // namespace ado::detail
