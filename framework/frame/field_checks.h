#pragma once
// The checks a bound field passes before its row is written, with the frame's own messages in
// the user's language.

#include <optional>
#include <string>

namespace framework {

struct FieldRules {
    std::string caption;  // how the message names the field
    bool required = false;
    int32_t maxChar = 0;  // 0: no limit
    bool numeric = false;
};

// The message for the first rule the text breaks (required and blank, longer than allowed,
// not a whole number where one is due); nothing when it passes.
std::optional<std::string> FieldProblem(const std::string& text, const FieldRules& rules);

}  // namespace framework
