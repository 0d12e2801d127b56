#pragma once
// The user's texts that more than one provider gives, chosen from what the database said. The
// texts are the program's Italian source texts, translated where the message is shown.

#include <string>
#include <string_view>
#include <vector>

namespace ado::detail {

// A text of the catalogue and the values of its "%1", "%2"...
struct UserMessage {
    const char* text;
    std::vector<std::string> values;
};

// The name a provider's message gives after `prefix`, up to `end` or the message's end; "" when
// the message has no `prefix`.
std::string NameAfter(std::string_view message, std::string_view prefix, char end);

// A table the statement uses is missing from the database: which one, when `table` says.
UserMessage MissingTable(const std::string& table);

}  // namespace ado::detail
