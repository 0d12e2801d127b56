// Gives SQLite tables and indexes a definition they lack. SQLite alters little of a table in
// place (no key or CHECK changes): a table is made again under its name and its rows copied.

#include <algorithm>
#include <optional>

#include "db/schema_steps.h"
#include "platform/ado/recordset.h"
#include "platform/text/text.h"

namespace db {

namespace {

// What a CREATE TABLE or CREATE INDEX statement makes: its kind and its name.
std::pair<std::string, std::string> Made(const std::string& sql) {
    constexpr size_t kFrom = std::string_view("CREATE TABLE ").size();  // as "CREATE INDEX "
    return {sql.starts_with("CREATE TABLE ") ? "table" : "index",
            sql.substr(kFrom, sql.find(' ', kFrom) - kFrom)};
}

// The statement SQLite keeps for the table or index (none when there is no such object).
std::optional<std::string> Definition(ado::Connection& connection, const std::string& type,
                                      const std::string& name) {
    auto rs = connection.ExecuteWith("SELECT sql FROM sqlite_master WHERE type = ? AND name = ?",
                                     {type, name});
    if (rs->Eof()) return std::nullopt;
    return rs->Fields(0).Value().ToText();
}

std::vector<std::string> Columns(ado::Connection& connection, const std::string& table) {
    std::vector<std::string> columns;
    for (auto rs = connection.Execute("PRAGMA table_info(" + table + ")"); !rs->Eof();
         rs->MoveNext())
        columns.push_back(rs->Fields("name").Value().ToText());
    return columns;
}

// Makes `table` again as `sql` defines it, with every row of the columns both definitions have.
// Renamed first, so that the new table is made by `sql` itself: SQLite keeps the statement as
// written, which the next comparison reads.
void Rebuild(ado::Connection& connection, const std::string& table, const std::string& sql) {
    const auto before = Columns(connection, table);
    const std::string old = table + "_PRIMA";
    connection.Execute("ALTER TABLE " + table + " RENAME TO " + old);
    connection.Execute(sql);
    auto columns = Columns(connection, table);
    std::erase_if(columns, [&](const std::string& c) {
        return std::find(before.begin(), before.end(), c) == before.end();
    });
    const std::string list = txt::Join(columns, ", ");
    connection.Execute("INSERT INTO " + table + " (" + list + ") SELECT " + list + " FROM " + old);
    connection.Execute("DROP TABLE " + old);
}

}  // namespace

void ReshapeSqlite(ado::Connection& connection, const std::vector<std::string>& statements) {
    // The tables first: making one again drops its indexes.
    for (const bool tables : {true, false})
        for (const auto& sql : statements) {
            const auto [type, name] = Made(sql);
            if ((type == "table") != tables) continue;
            const auto current = Definition(connection, type, name);
            if (current == sql) continue;
            if (current && tables)
                Rebuild(connection, name, sql);
            else {
                if (current) connection.Execute("DROP INDEX " + name);
                connection.Execute(sql);
            }
        }
}

}  // namespace db
