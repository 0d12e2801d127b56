#include "framework/history_text.h"

#include <nlohmann/json.hpp>

#include "framework/text_service.h"
#include "platform/text/text.h"
#include "platform/text/utf8.h"

namespace framework {

namespace {

using Json = nlohmann::ordered_json;  // the columns in the order the record gives them

// A value as JSON writes it: texts quoted, control characters escaped, null as null.
std::string Value(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The member `key` of `object`; null when it has none or is no object.
const Json& Member(const Json& object, const char* key) {
    static const Json none;
    if (!object.is_object()) return none;
    const auto it = object.find(key);
    return it == object.end() ? none : *it;
}

// A text as it is, anything else as JSON writes it.
std::string Text(const Json& value) {
    return value.is_string() ? txt::Printable(value.get<std::string>()) : Value(value);
}

// A row's columns that hold a value, "COLUMN=value, ..." (a matrix row's ten value columns are
// mostly empty; the JSON keeps them all).
std::string RowText(const Json& row) {
    if (!row.is_object()) return Value(row);
    std::vector<std::string> columns;
    for (const auto& [column, value] : row.items())
        if (!value.is_null()) columns.push_back(txt::Printable(column) + "=" + Value(value));
    return txt::Join(columns, ", ");
}

// A changed column, "COLUMN: before → after".
std::string ChangeText(const std::string& column, const Json& values) {
    return txt::Printable(column) + ": " +
           (values.is_array() && values.size() == 2 ? Value(values[0]) + " → " + Value(values[1])
                                                    : Value(values));
}

// The elements of a list (one element, of something else).
std::vector<Json> Items(const Json& list) {
    if (list.is_array()) return list.get<std::vector<Json>>();
    return {list};
}

size_t Count(const Json& detail, const char* key) {
    const Json& list = Member(detail, key);
    return list.is_null() ? 0 : Items(list).size();
}

}  // namespace

std::string HistoryHeadline(const db::HistoryRecord& record) {
    std::string line = record.when + " UTC  " + txt::Printable(record.user) + "  " +
                       txt::Printable(record.program) + "  " + Translated(record.action) + "  " +
                       txt::Printable(record.table);
    if (record.key) line += " " + std::to_string(*record.key);
    if (record.criterion)
        line += "  " + Translated("criterio %1", {std::to_string(*record.criterion)});
    return line;
}

std::vector<std::string> HistoryDetailLines(const std::string& detail) {
    const Json json = Json::parse(detail, nullptr, false);
    if (!json.is_object()) return {txt::Printable(detail)};
    std::vector<std::string> lines;
    if (json.contains("added") || json.contains("modified") || json.contains("removed"))
        lines.push_back(Translated(
            "Righe aggiunte: %1, con un conto nuovo: %2, tolte: %3.",
            {std::to_string(Count(json, "added")), std::to_string(Count(json, "modified")),
             std::to_string(Count(json, "removed"))}));
    for (const auto& [key, value] : json.items()) {
        if (key == "changed" && value.is_object()) {
            for (const auto& [column, values] : value.items())
                lines.push_back(ChangeText(column, values));
        } else if (key == "row") {
            lines.push_back(Translated("riga: %1", {RowText(value)}));
        } else if (key == "taken") {
            for (const auto& taken : Items(value))
                lines.push_back(
                    Translated("eliminata con essa: %1 %2",
                               {Text(Member(taken, "table")), RowText(Member(taken, "row"))}));
        } else if (key == "renumbered") {
            for (const auto& r : Items(value))
                lines.push_back(Translated(Member(r, "count") == 1
                                               ? "priorità rinumerate: tipo %1, %2 criterio"
                                               : "priorità rinumerate: tipo %1, %2 criteri",
                                           {Text(Member(r, "type")), Text(Member(r, "count"))}));
        } else if (key == "added" || key == "removed") {
            for (const auto& row : Items(value))
                lines.push_back(
                    Translated(key == "added" ? "aggiunta: %1" : "tolta: %1", {RowText(row)}));
        } else if (key == "modified") {
            for (const auto& m : Items(value)) {
                std::vector<std::string> changes;
                const Json& changed = Member(m, "changed");
                if (changed.is_object())
                    for (const auto& [column, values] : changed.items())
                        changes.push_back(ChangeText(column, values));
                lines.push_back(Translated("conto nuovo alla riga %1: %2",
                                           {Text(Member(m, "key")), txt::Join(changes, ", ")}));
            }
        } else {
            lines.push_back(txt::Printable(key) + ": " + Value(value));
        }
    }
    return lines;
}

}  // namespace framework
