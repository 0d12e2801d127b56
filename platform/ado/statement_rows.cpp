// The rows a data statement touches, found from its text: words are read at the statement's own
// level (outside parentheses, quotes and brackets), so that a subquery's FROM or WHERE is not
// taken for the statement's.

#include <cctype>

#include "platform/ado/watcher.h"

namespace ado {

namespace {

struct Token {
    enum Kind { Word, Name, Mark, Open, Close, Comma, Other } kind;
    std::string text;  // a word upper case, a name unquoted
    size_t begin = 0, end = 0;
    int depth = 0;  // parentheses around it
};

size_t Closing(const std::string& sql, size_t from, char close) {
    size_t i = from + 1;
    while (i < sql.size() && sql[i] != close) ++i;
    return std::min(i + 1, sql.size());
}

std::vector<Token> Tokens(const std::string& sql) {
    std::vector<Token> tokens;
    int depth = 0;
    for (size_t i = 0; i < sql.size();) {
        const unsigned char c = sql[i];
        Token t{Token::Other, {}, i, i + 1, depth};
        if (std::isspace(c)) {
            ++i;
            continue;
        }
        if (std::isalpha(c) || c == '_' || c == '#') {
            size_t j = i;
            while (j < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[j])) ||
                                      sql[j] == '_' || sql[j] == '#' || sql[j] == '.'))
                ++j;
            t = {Token::Word, sql.substr(i, j - i), i, j, depth};
            for (char& ch : t.text)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        } else if (c == '"' || c == '[') {
            t.end = Closing(sql, i, c == '"' ? '"' : ']');
            t = {Token::Name, sql.substr(i + 1, t.end - i - 2), i, t.end, depth};
        } else if (c == '\'') {
            t.end = Closing(sql, i, '\'');
        } else if (c == '?') {
            t.kind = Token::Mark;
        } else if (c == '(') {
            t.kind = Token::Open;
            ++depth;
        } else if (c == ')') {
            t.kind = Token::Close;
            t.depth = --depth;
        } else if (c == ',') {
            t.kind = Token::Comma;
        }
        i = t.end;
        tokens.push_back(std::move(t));
    }
    return tokens;
}

// The first token at level 0 from `from` that is the word `word`; tokens.size() when none.
size_t Find(const std::vector<Token>& tokens, size_t from, const char* word) {
    for (size_t i = from; i < tokens.size(); ++i)
        if (tokens[i].depth == 0 && tokens[i].kind == Token::Word && tokens[i].text == word)
            return i;
    return tokens.size();
}

bool IsName(const Token& t) {
    return t.kind == Token::Word || t.kind == Token::Name;
}

// A name as the statement writes it, and as the database knows it (unquoted).
std::string Raw(const std::string& sql, const Token& t) {
    return sql.substr(t.begin, t.end - t.begin);
}
std::string Unquoted(const std::string& sql, const Token& t) {
    return t.kind == Token::Name ? t.text : Raw(sql, t);
}

size_t Marks(const std::vector<Token>& tokens, size_t from, size_t to) {
    size_t n = 0;
    for (size_t i = from; i < to; ++i) n += tokens[i].kind == Token::Mark;
    return n;
}

std::string Text(const std::string& sql, const std::vector<Token>& tokens, size_t from) {
    return from < tokens.size() ? sql.substr(tokens[from].begin) : std::string();
}

}  // namespace

std::string LeadingKeyword(const std::string& sql) {
    size_t i = 0;
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
    std::string word;
    while (i < sql.size() && std::isalpha(static_cast<unsigned char>(sql[i])))
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i++])));
    return word;
}

// UPDATE t SET ... [FROM f] [WHERE w]  ->  SELECT t.* FROM t[, f] [WHERE w]
// DELETE FROM t [WHERE w]               ->  SELECT * FROM t [WHERE w]
std::optional<RowsQuery> RowsTouchedBy(const std::string& sql,
                                       const std::vector<com::Variant>& params) {
    const auto tokens = Tokens(sql);
    if (tokens.size() < 3 || tokens[0].kind != Token::Word) return std::nullopt;
    if (tokens[0].text == "DELETE") {
        if (tokens[1].text != "FROM" || !IsName(tokens[2])) return std::nullopt;
        return RowsQuery{Unquoted(sql, tokens[2]),
                         "SELECT * FROM " + Raw(sql, tokens[2]) + " " +
                             Text(sql, tokens, Find(tokens, 3, "WHERE")),
                         params};
    }
    if (tokens[0].text != "UPDATE" || !IsName(tokens[1])) return std::nullopt;
    const size_t set = Find(tokens, 2, "SET");
    if (set != 2) return std::nullopt;
    // A FROM after the WHERE is a condition's ("IS DISTINCT FROM").
    const size_t where = Find(tokens, set, "WHERE"),
                 from = std::min(Find(tokens, set, "FROM"), where);
    const size_t setEnd = std::min(from, where);
    const size_t skipped = Marks(tokens, set, setEnd);
    if (skipped > params.size()) return std::nullopt;
    const std::string table = Raw(sql, tokens[1]);
    std::string select = "SELECT " + table + ".* FROM " + table;
    if (from < where)
        select += ", " + sql.substr(tokens[from + 1].begin,
                                    (where < tokens.size() ? tokens[where].begin : sql.size()) -
                                        tokens[from + 1].begin);
    select += " " + Text(sql, tokens, where);
    return RowsQuery{Unquoted(sql, tokens[1]), select,
                     std::vector<com::Variant>(params.begin() + skipped, params.end())};
}

std::optional<ChangedTable> ReturnableStatement(const std::string& sql,
                                                const std::vector<com::Variant>& params) {
    if (!RowsTouchedBy(sql, params)) return std::nullopt;
    const auto tokens = Tokens(sql);
    for (const Token& t : tokens)
        if (t.depth == 0 &&
            (sql[t.begin] == ';' ||
             (t.kind == Token::Word && (t.text == "ORDER" || t.text == "LIMIT" ||
                                        t.text == "RETURNING" || t.text == "OUTPUT"))))
            return std::nullopt;
    const bool deletes = tokens[0].text == "DELETE";
    const Token& table = tokens[deletes ? 2 : 1];
    const size_t where = Find(tokens, 2, "WHERE");
    return ChangedTable{Unquoted(sql, table), Raw(sql, table), deletes,
                        !deletes && Find(tokens, 2, "FROM") < where};
}

// INSERT INTO t (c, ...) VALUES (?, ...), (?, ...): nothing for any other shape.
std::optional<InsertedRows> RowsInsertedBy(const std::string& sql,
                                           const std::vector<com::Variant>& params) {
    const auto tokens = Tokens(sql);
    if (tokens.size() < 6 || tokens[0].text != "INSERT" || tokens[1].text != "INTO" ||
        !IsName(tokens[2]) || tokens[3].kind != Token::Open)
        return std::nullopt;
    InsertedRows inserted{Unquoted(sql, tokens[2]), {}, {}};
    size_t i = 4;
    for (; i < tokens.size() && tokens[i].kind != Token::Close; ++i)
        if (IsName(tokens[i]))
            inserted.columns.push_back(Unquoted(sql, tokens[i]));
        else if (tokens[i].kind != Token::Comma)
            return std::nullopt;
    if (++i >= tokens.size() || tokens[i].text != "VALUES") return std::nullopt;
    size_t next = 0;
    for (++i; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == Token::Open && t.depth == 0) {
            inserted.rows.emplace_back();
        } else if (t.kind == Token::Mark && t.depth == 1 && next < params.size()) {
            inserted.rows.back().push_back(params[next++]);
        } else if (t.kind != Token::Comma && t.kind != Token::Close) {
            return std::nullopt;  // a value written into the text
        }
    }
    for (const auto& row : inserted.rows)
        if (row.size() != inserted.columns.size()) return std::nullopt;
    return inserted;
}

}  // namespace ado
