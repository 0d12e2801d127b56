#include "app/script/script_parser.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <string_view>

#include "platform/text/utf8.h"

namespace script {

std::vector<std::string> SplitWords(const std::string& line, int lineNumber) {
    std::vector<std::string> words;
    size_t i = 0;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (i < line.size()) {
        while (i < line.size() && blank(line[i])) ++i;
        if (i >= line.size() || line[i] == '#') break;
        // A word runs to the next blank; double quotes inside it enclose blanks, as in
        // "Vendite Italia" or title="Elimina riga".
        std::string word;
        while (i < line.size() && !blank(line[i])) {
            char c = line[i++];
            if (c != '"') {
                word += c;
                continue;
            }
            bool closed = false;
            while (i < line.size()) {
                c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\') {
                    if (i >= line.size()) break;
                    char e = line[i++];
                    if (e != '"' && e != '\\' && e != 'n')
                        throw ParseError(
                            lineNumber, std::string("unknown escape \\") + e + " in a quoted word");
                    c = e == 'n' ? '\n' : e;  // \n: a line break, as messages have them
                }
                word += c;
            }
            if (!closed) throw ParseError(lineNumber, "a quoted word is not closed");
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::optional<int32_t> ParseNumber(const std::string& word) {
    int32_t value = 0;
    const char* end = word.data() + word.size();
    auto [at, ec] = std::from_chars(word.data(), end, value);
    if (word.empty() || ec != std::errc() || at != end) return std::nullopt;
    return value;
}

namespace {

// One word of a command's syntax that the user gives in its place.
struct Slot {
    std::string_view kind;  // N, TEXT, open|closed, ...
    bool optional = false;
    bool repeated = false;
};

struct Syntax {
    std::vector<Slot> slots;
    std::vector<std::pair<std::string_view, std::string_view>> options;  // key, kind
};

Syntax ReadSyntax(std::string_view text) {
    Syntax syntax;
    while (!text.empty()) {
        auto blank = text.find(' ');
        std::string_view word = text.substr(0, blank);
        text = blank == std::string_view::npos ? "" : text.substr(blank + 1);
        Slot slot;
        if (word.starts_with('[')) {
            slot.optional = true;
            word = word.substr(1, word.size() - 2);
        }
        if (auto eq = word.find('='); eq != std::string_view::npos) {
            syntax.options.emplace_back(word.substr(0, eq), word.substr(eq + 1));
            continue;
        }
        if (word.ends_with("...")) {
            slot.repeated = true;
            word.remove_suffix(3);
        }
        slot.kind = word;
        syntax.slots.push_back(slot);
    }
    return syntax;
}

std::string Listed(std::string_view words, std::string_view separator) {
    std::string list(words);
    for (size_t at = 0; (at = list.find(separator, at)) != std::string::npos; at += 2)
        list.replace(at, separator.size(), ", ");
    return list;
}

// A word of the syntax in lower case stands for itself (`[matrix]`).
bool IsKeyword(std::string_view kind) {
    return !kind.empty() && std::all_of(kind.begin(), kind.end(),
                                        [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; });
}

// Checks one word against the kind of word its place takes.
void CheckWord(int line, const std::string& what, std::string_view kind, const std::string& word) {
    auto refuse = [&](const std::string& takes) {
        throw ParseError(line, "'" + what + "' takes " + takes + ", not '" + word + "'");
    };
    auto number = ParseNumber(word);
    if (kind == "N" || kind == "CODE" || kind == "CRITERION" || kind == "INDEX") {
        if (!number) refuse("a number");
    } else if (kind == "V") {
        if (!number && word != "null") refuse("a number or null");
    } else if (kind == "ANSWER") {
        // The platform's message-box answers: OK, Cancel, Abort, Retry, Ignore, Yes, No.
        if (!number || *number < 1 || *number > 7) refuse("a message-box answer 1 to 7");
    } else if (kind.find('|') != std::string_view::npos) {
        std::string_view rest = kind;
        bool found = false;
        while (!found && !rest.empty()) {
            auto bar = rest.find('|');
            found = rest.substr(0, bar) == word;
            rest = bar == std::string_view::npos ? "" : rest.substr(bar + 1);
        }
        if (!found) refuse("one of " + Listed(kind, "|"));
    }
}

// The table entry a line's first words name, and how many words its name takes.
const CommandEntry& FindEntry(int line, const std::vector<std::string>& words) {
    std::string group;  // the commands named "WORD ..."
    for (const auto& entry : kCommands) {
        if (entry.name == words[0]) return entry;
        if (!entry.name.starts_with(words[0] + " ")) continue;
        std::string_view second = entry.name.substr(words[0].size() + 1);
        if (words.size() > 1 && second == words[1]) return entry;
        group += (group.empty() ? "" : ", ") + std::string(second);
    }
    if (group.empty()) throw ParseError(line, "unknown command '" + words[0] + "'");
    throw ParseError(line, "'" + words[0] + "' takes one of " + group +
                               (words.size() > 1 ? ", not '" + words[1] + "'" : ""));
}

Command ParseCommand(int line, std::vector<std::string> words) {
    Command c;
    c.line = line;
    c.words = std::move(words);
    c.entry = &FindEntry(line, c.words);
    const std::string name(c.entry->name);
    const Syntax syntax = ReadSyntax(c.entry->syntax);
    const size_t from = name.find(' ') == std::string::npos ? 1 : 2;

    size_t required = 0, most = 0;
    for (const auto& s : syntax.slots) {
        required += s.optional ? 0 : 1;
        most += s.repeated ? c.words.size() : 1;
    }
    // Options follow the positional words, which never run into them: no command has both a
    // word that may be left out and options.
    size_t given = c.words.size() - from;
    size_t positional = syntax.options.empty() ? given : std::min(given, most);
    auto wrongNumber = [&] { return ParseError(line, "wrong number of words for '" + name + "'"); };
    if (positional < required || positional > most) throw wrongNumber();
    std::vector<bool> filled(syntax.slots.size());
    for (size_t i = 0, slot = 0; i < positional; ++i) {
        const auto& word = c.words[from + i];
        // A word that may be left out and is written as it stands is taken only as written.
        for (; slot < syntax.slots.size() && syntax.slots[slot].optional &&
               IsKeyword(syntax.slots[slot].kind) && word != syntax.slots[slot].kind;
             ++slot) {
            if (slot + 1 == syntax.slots.size())
                throw ParseError(line, "'" + name + "' takes " +
                                           std::string(syntax.slots[slot].kind) + ", not '" + word +
                                           "'");
        }
        if (slot >= syntax.slots.size()) throw wrongNumber();
        CheckWord(line, name, syntax.slots[slot].kind, word);
        c.args.push_back(word);
        filled[slot] = true;
        if (!syntax.slots[slot].repeated) ++slot;
    }
    for (size_t slot = 0; slot < syntax.slots.size(); ++slot)
        if (!syntax.slots[slot].optional && !filled[slot]) throw wrongNumber();
    for (size_t i = from + positional; i < c.words.size(); ++i) {
        const auto& word = c.words[i];
        auto eq = word.find('=');
        if (eq == std::string::npos)
            throw ParseError(line, "'" + name + "' takes key=value, not '" + word + "'");
        std::string key = word.substr(0, eq), value = word.substr(eq + 1);
        std::string keys;
        bool known = false;
        for (const auto& [k, kind] : syntax.options) {
            if (k == key) CheckWord(line, name + " " + key, kind, value);
            known = known || k == key;
            keys += (keys.empty() ? "" : ", ") + std::string(k);
        }
        if (!known)
            throw ParseError(line,
                             "'" + name + "' takes the options " + keys + ", not '" + key + "'");
        c.options[key] = value;
    }
    return c;
}

}  // namespace

std::vector<Command> Parse(const std::string& text) {
    std::vector<Command> out;
    // Some editors start a UTF-8 file with a byte order mark.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    std::istringstream in(text.starts_with(kByteOrderMark) ? text.substr(kByteOrderMark.size())
                                                           : text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        // Every word may end up stored or shown: a script saved in another encoding (Latin-1,
        // say) is refused rather than read as something else.
        if (size_t bad = txt::InvalidUtf8At(line); bad != std::string::npos)
            throw ParseError(number, "byte " + std::to_string(bad + 1) +
                                         " of the line is not UTF-8 text: save the script in "
                                         "UTF-8");
        auto words = SplitWords(line, number);
        if (!words.empty()) out.push_back(ParseCommand(number, std::move(words)));
    }
    return out;
}

std::string CommandTableMarkdown() {
    // A bar inside a table cell is written \|.
    auto cell = [](std::string text) {
        for (size_t at = 0; (at = text.find('|', at)) != std::string::npos; at += 2)
            text.insert(at, "\\");
        return text;
    };
    std::string table = "| Command | What it does |\n|---|---|\n";
    for (const auto& c : kCommands) {
        std::string usage(c.name);
        if (!c.syntax.empty()) usage += " " + std::string(c.syntax);
        table += "| `" + cell(usage) + "` | " + cell(std::string(c.description)) + " |\n";
    }
    return table;
}

}  // namespace script
