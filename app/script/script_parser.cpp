#include "app/script/script_parser.h"

#include <charconv>
#include <map>
#include <sstream>
#include <string_view>

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
                    if (e != '"' && e != '\\')
                        throw ParseError(
                            lineNumber, std::string("unknown escape \\") + e + " in a quoted word");
                    c = e;
                }
                word += c;
            }
            if (!closed) throw ParseError(lineNumber, "a quoted word is not closed");
        }
        words.push_back(std::move(word));
    }
    return words;
}

namespace {

struct Arity {
    size_t min, max;  // words after the command
};

constexpr size_t kMany = 1000;

const std::map<std::string, Arity>& Commands() {
    static const std::map<std::string, Arity> commands = {
        {"sql", {1, 1}},       {"company", {1, 3}}, {"open", {1, 1}},         {"language", {1, 1}},
        {"activate", {0, 0}},  {"press", {1, 1}},   {"type", {2, 2}},         {"choose", {2, 2}},
        {"grid", {1, 1}},      {"node", {1, 1}},    {"double-click", {0, 0}}, {"list", {1, 1}},
        {"toolbar", {1, 2}},   {"answer", {1, 1}},  {"navigator", {1, 2}},    {"close", {0, 0}},
        {"closeform", {0, 0}}, {"end", {0, 0}},     {"expect", {1, kMany}},
    };
    return commands;
}

// The expectations and their words after the expectation's name.
const std::map<std::string, Arity>& Expectations() {
    static const std::map<std::string, Arity> expectations = {
        {"message", {1, 3}},  {"no-message", {0, 0}},  {"beep", {0, 1}},     {"field", {2, 2}},
        {"list", {0, kMany}}, {"entries", {1, kMany}}, {"grid", {0, kMany}}, {"current", {1, 1}},
        {"status", {1, 1}},   {"modified", {1, 1}},    {"query", {2, 2}},    {"transfer", {1, 1}},
        {"window", {1, 1}},   {"log", {1, 1}},
    };
    return expectations;
}

void CheckCount(int line, const std::string& what, size_t given, const Arity& arity) {
    if (given < arity.min || given > arity.max)
        throw ParseError(line, "wrong number of words for '" + what + "'");
}

void CheckNumber(int line, const std::string& what, const std::string& word) {
    if (!ParseNumber(word))
        throw ParseError(line, "'" + what + "' takes a number, not '" + word + "'");
}

void CheckOneOf(int line, const std::string& what, const std::string& word,
                std::initializer_list<const char*> allowed) {
    std::string list;
    for (const char* a : allowed) {
        if (word == a) return;
        list += (list.empty() ? "" : ", ") + std::string(a);
    }
    throw ParseError(line, "'" + what + "' takes one of " + list + ", not '" + word + "'");
}

// key=value words from `from` on, each key one of `keys`; returns the values by key.
std::map<std::string, std::string> CheckOptions(int line, const std::string& what,
                                                const std::vector<std::string>& words, size_t from,
                                                std::initializer_list<const char*> keys) {
    std::map<std::string, std::string> out;
    for (size_t i = from; i < words.size(); ++i) {
        auto eq = words[i].find('=');
        if (eq == std::string::npos)
            throw ParseError(line, "'" + what + "' expects key=value, not '" + words[i] + "'");
        std::string key = words[i].substr(0, eq);
        CheckOneOf(line, what + " option", key, keys);
        out[key] = words[i].substr(eq + 1);
    }
    return out;
}

void CheckExpectation(int line, const std::vector<std::string>& w) {
    const std::string& what = w[1];
    auto it = Expectations().find(what);
    if (it == Expectations().end()) throw ParseError(line, "unknown expectation '" + what + "'");
    std::string name = "expect " + what;
    CheckCount(line, name, w.size() - 2, it->second);
    if (what == "message") {
        auto options = CheckOptions(line, name, w, 3, {"flags", "title"});
        if (options.count("flags")) CheckNumber(line, name + " flags", options["flags"]);
    } else if ((what == "beep" && w.size() > 2) || what == "current" || what == "status") {
        CheckNumber(line, name, w[2]);
    } else if (what == "modified") {
        CheckOneOf(line, name, w[2], {"true", "false", "True", "False"});
    } else if (what == "window") {
        CheckOneOf(line, name, w[2], {"open", "closed"});
    }
}

// The words of one command whose count is right: numbers, names and options.
void CheckWords(int line, const std::vector<std::string>& w) {
    const std::string& name = w[0];
    if (name == "expect") return CheckExpectation(line, w);
    if (name == "company") {
        CheckNumber(line, name, w[1]);
        for (const auto& [key, value] :
             CheckOptions(line, name, w, 2, {"account-types", "item-class-nesting"}))
            if (value != "null") CheckNumber(line, name + " " + key, value);
    } else if (name == "open" || name == "grid" || name == "list") {
        CheckNumber(line, name, w[1]);
    } else if (name == "choose" || (name == "toolbar" && w.size() > 2)) {
        CheckNumber(line, name, w[2]);
    } else if (name == "answer") {
        // The platform's message-box answers: OK, Cancel, Abort, Retry, Ignore, Yes, No.
        auto answer = ParseNumber(w[1]);
        if (!answer || *answer < 1 || *answer > 7)
            throw ParseError(line,
                             "'answer' takes a message-box answer 1 to 7, not '" + w[1] + "'");
    } else if (name == "navigator") {
        CheckOneOf(line, name, w[1], {"company-change", "button", "export", "layout", "script"});
        bool takesNumber = w[1] == "company-change" || w[1] == "button";
        if (w[1] == "button" && w.size() < 3)
            throw ParseError(line, "'navigator button' takes a button code");
        if (w.size() > 2 && !takesNumber)
            throw ParseError(line, "'navigator " + w[1] + "' takes no further word");
        if (w.size() > 2) CheckNumber(line, "navigator " + w[1], w[2]);
    }
}

}  // namespace

std::optional<int32_t> ParseNumber(const std::string& word) {
    int32_t value = 0;
    const char* end = word.data() + word.size();
    auto [at, ec] = std::from_chars(word.data(), end, value);
    if (word.empty() || ec != std::errc() || at != end) return std::nullopt;
    return value;
}

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
        auto words = SplitWords(line, number);
        if (words.empty()) continue;
        auto it = Commands().find(words[0]);
        if (it == Commands().end()) throw ParseError(number, "unknown command '" + words[0] + "'");
        CheckCount(number, words[0], words.size() - 1, it->second);
        CheckWords(number, words);
        out.push_back({number, std::move(words)});
    }
    return out;
}

}  // namespace script
