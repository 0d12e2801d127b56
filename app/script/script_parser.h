#pragma once
// The plain-text session scripts: one command a line, words separated by blanks, `#` starts a
// comment, a word with blanks in double quotes (\" and \\ inside).

#include <stdexcept>
#include <string>
#include <vector>

namespace script {

struct Command {
    int line = 0;                    // 1-based line in the file
    std::vector<std::string> words;  // words[0] is the command
};

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

// Parses a whole script and checks each command's name and number of words.
std::vector<Command> Parse(const std::string& text);

}  // namespace script
