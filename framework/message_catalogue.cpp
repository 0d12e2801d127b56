#include "framework/message_catalogue.h"

#include <fmt/format.h>

#include "platform/com/com_error.h"

namespace framework {

namespace {

struct Reader {
    std::string_view origin;
    int line = 0;

    [[noreturn]] void Fail(const std::string& problem) const {
        throw com::ComError(com::err::InvalidCall, fmt::format("{}:{}: {}", origin, line, problem),
                            "TextService");
    }

    // The contents of a C-style quoted string that makes up the rest of the line.
    std::string Quoted(std::string_view s) const {
        if (s.size() < 2 || s.front() != '"' || s.back() != '"')
            Fail("expected a text in double quotes, found: " + std::string(s));
        std::string out;
        for (std::size_t i = 1; i + 1 < s.size(); ++i) {
            char c = s[i];
            if (c == '"') Fail("unescaped double quote inside a text");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (++i + 1 >= s.size()) Fail("backslash at the end of a text");
            switch (s[i]) {
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                default:
                    Fail(fmt::format("unknown escape \\{}", s[i]));
            }
        }
        return out;
    }
};

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

}  // namespace

MessageCatalogue MessageCatalogue::Parse(std::string_view text, const std::string& origin) {
    MessageCatalogue cat;
    Reader r{origin};
    enum class Part { None, Id, Str } part = Part::None;
    std::string id, str;
    bool fuzzy = false;
    int idLine = 0;

    auto finish = [&] {
        if (part == Part::Id) r.Fail("msgid without msgstr");
        // The header (empty msgid), fuzzy and untranslated entries are not translations.
        if (part == Part::Str && !id.empty() && !fuzzy && !str.empty()) {
            if (!cat.entries_.emplace(id, str).second) {
                r.line = idLine;
                r.Fail("duplicate msgid \"" + id + "\"");
            }
        }
        part = Part::None;
        id.clear();
        str.clear();
        fuzzy = false;
    };

    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        ++r.line;

        if (line.empty()) continue;
        if (line.front() == '#') {
            if (part == Part::Str) finish();
            if (line.starts_with("#,") && line.find("fuzzy") != std::string_view::npos)
                fuzzy = true;
            continue;
        }
        if (line.front() == '"') {
            if (part == Part::None) r.Fail("text without msgid or msgstr before it");
            (part == Part::Id ? id : str) += r.Quoted(line);
            continue;
        }
        std::size_t space = line.find_first_of(" \t");
        std::string_view keyword = line.substr(0, space);
        std::string_view rest = space == std::string_view::npos ? "" : Trim(line.substr(space));
        if (keyword == "msgid") {
            if (part == Part::Str) finish();
            if (part == Part::Id) r.Fail("msgid follows msgid without msgstr");
            idLine = r.line;
            id = r.Quoted(rest);
            part = Part::Id;
        } else if (keyword == "msgstr") {
            if (part != Part::Id) r.Fail("msgstr without msgid");
            str = r.Quoted(rest);
            part = Part::Str;
        } else if (keyword == "msgctxt" || keyword == "msgid_plural" ||
                   keyword.starts_with("msgstr[")) {
            r.Fail("unsupported keyword " + std::string(keyword));
        } else {
            r.Fail("expected msgid, msgstr, a quoted text or a comment, found: " +
                   std::string(line));
        }
    }
    finish();
    return cat;
}

std::optional<std::string> MessageCatalogue::Find(const std::string& source) const {
    auto it = entries_.find(source);
    if (it == entries_.end()) return std::nullopt;
    return it->second;
}

}  // namespace framework
