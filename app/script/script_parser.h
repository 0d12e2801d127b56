#pragma once
// The plain-text session scripts: one command a line, words separated by blanks, `#` starts a
// comment, a word with blanks in double quotes (\" and \\ inside, \n for a line break).

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/script/script_commands.h"

namespace script {

// A script that does not parse: the message names the line.
class ParseError : public std::runtime_error {
  public:
    ParseError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
    int Line() const { return line_; }

  private:
    int line_;
};

// Splits one line into words; empty for a blank or comment line.
std::vector<std::string> SplitWords(const std::string& line, int lineNumber);

// A whole word as a decimal 32-bit integer; nothing when it is not one.
std::optional<int32_t> ParseNumber(const std::string& word);

// Parses a whole script and checks each command against the command table: its name, its number
// of words, and the words that must be numbers, one of a few words or key=value options.
std::vector<Command> Parse(const std::string& text);

}  // namespace script
