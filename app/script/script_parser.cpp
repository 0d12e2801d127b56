#include "app/script/script_parser.h"

#include <map>
#include <sstream>

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

const std::map<std::string, Arity>& Commands() {
    static const std::map<std::string, Arity> commands = {
        {"sql", {1, 1}},       {"company", {1, 3}}, {"open", {1, 1}},         {"language", {1, 1}},
        {"activate", {0, 0}},  {"press", {1, 1}},   {"type", {2, 2}},         {"choose", {2, 2}},
        {"grid", {1, 1}},      {"node", {1, 1}},    {"double-click", {0, 0}}, {"list", {1, 1}},
        {"toolbar", {1, 2}},   {"answer", {1, 1}},  {"navigator", {1, 2}},    {"close", {0, 0}},
        {"closeform", {0, 0}}, {"end", {0, 0}},     {"expect", {1, 1000}},
    };
    return commands;
}

}  // namespace

std::vector<Command> Parse(const std::string& text) {
    std::vector<Command> out;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        auto words = SplitWords(line, number);
        if (words.empty()) continue;
        auto it = Commands().find(words[0]);
        if (it == Commands().end()) throw ParseError(number, "unknown command '" + words[0] + "'");
        size_t args = words.size() - 1;
        if (args < it->second.min || args > it->second.max)
            throw ParseError(number, "wrong number of words for '" + words[0] + "'");
        out.push_back({number, std::move(words)});
    }
    return out;
}

}  // namespace script
