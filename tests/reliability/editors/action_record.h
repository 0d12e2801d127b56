#pragma once
// One line of an editor's report: a user action in the criteria window, what it was done on, and
// how it ended. The editor prints it as the action starts (no outcome yet) and again once it is
// over, so that a reader knows the action in flight when the editor died.

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

namespace editors {

namespace outcome {
inline constexpr const char* Done = "done";          // the window went on without a message
inline constexpr const char* Conflict = "conflict";  // another user changed the row meanwhile
inline constexpr const char* Busy = "busy";          // the database was in use
inline constexpr const char* Error = "error";        // anything else the user was shown
}  // namespace outcome

struct ActionRecord {
    int32_t editor = 0;
    int32_t seq = 0;
    std::string action;       // add, edit (description), type, priority (typed), up, down, delete
    int32_t id = 0;           // the criterion (for an add: the key it got, once done)
    int32_t type = -1;        // the posting type chosen (add, type)
    int32_t priority = -1;    // the number typed (priority)
    std::string from;         // the description shown before the action
    std::string description;  // the description saved with the action (none for moves)
    std::string attribute;    // the attribute chosen in the tree (add)
    std::string answer;       // the answer to the delete question: yes, no, or none asked
    std::string outcome;      // empty while the action runs
    std::string message;      // what the user was shown, if anything
};

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ActionRecord, editor, seq, action, id, type,
                                                priority, from, description, attribute, answer,
                                                outcome, message)

// The program an editor's history records name.
inline std::string EditorProgram(int32_t editor) {
    return "dravel-editor " + std::to_string(editor);
}

}  // namespace editors
