#pragma once
// The session scripts' commands in one table: each command's words, what it does and the runner's
// step for it. The parser checks a script against the table, the runner dispatches through it and
// the README's table of commands is written from it (a test compares the two).

#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace script {

// X(name, syntax, description, step) for each command. `syntax` lists the words after the name:
// a word in capitals is one the user gives (N, CODE, CRITERION and INDEX are numbers, ANSWER a
// message-box answer 1 to 7, any other name any word), a word in lower case is written as it
// stands; `a|b` is one of these words; `[...]` may be left out;
// `X...` is one or more words; `[key=K]` is an option, K being N (a number), V (a number or null)
// or TEXT. `step` is the runner's member function that carries the command out.
// clang-format off
#define DRAVEL_SCRIPT_COMMANDS(X)                                                                  \
    X("sql", "STATEMENT",                                                                          \
      "runs a statement on the database (set-up, or another user's change), as raw SQL: the "      \
      "history does not record it", Sql)                                                           \
    X("company", "CODE [account-types=V] [item-class-nesting=V]",                                  \
      "creates or changes a host company; `V` may be `null`", Company)                             \
    X("open", "CODE [caption=TEXT]",                                                               \
      "creates the module by program identifier, assigns the host's properties (`caption=null`: a" \
      " Null caption) and shows the window for company CODE", Open)                                \
    X("language", "LANGUAGE", "texts from now on in `it` (the default) or `en`", Language)         \
    X("matrix", "CRITERION [company=N]",                                                           \
      "opens the counter-account matrix window on the criterion (of the company of the last"       \
      " `open`, or N), or moves the open one there; the commands that follow act on it", Matrix)   \
    X("activate", "[matrix]",                                                                      \
      "the criteria window (or the matrix window) becomes active again, and the one the commands"  \
      " that follow act on", Activate)                                                             \
    X("press", "KEY",                                                                              \
      "a navigation-bar button: \"Nuovo\", \"Conferma\", \"Annulla\", \"Elimina\", \"Avanti\","    \
      " \"Indietro\", \"Esporta\"", Press)                                                         \
    X("type", "CONTROL TEXT",                                                                      \
      "the user replaces the text of an edit field (`TXT_DESCR`, `TXT_PRIORITA`; `TXT_VALORE01`"   \
      " .. `TXT_VALORE10`, `TXT_CONTO` in the matrix window)", Type)                               \
    X("choose", "CONTROL CODE",                                                                    \
      "the user chooses the entry whose code is CODE in a combo (`CBO_TIPO`; `CBO_CRITERIO` in the"\
      " matrix window)", Choose)                                                                   \
    X("grid", "N", "the user clicks grid line N (1-based)", Grid)                                  \
    X("node", "KEY", "the user selects the tree node with KEY", Node)                              \
    X("double-click", "", "the user double-clicks the tree", DoubleClick)                          \
    X("list", "INDEX", "the user selects list entry INDEX (0-based)", List)                        \
    X("toolbar", "NAME [INDEX]",                                                                   \
      "the user presses element INDEX (default 0) of `TBAR_SELECT`, `TBAR_FIELDS`,"                \
      " `TBAR_PRIORITY`, or `TBR_REFRESH`", Toolbar)                                               \
    X("answer", "ANSWER",                                                                          \
      "the next message box is answered ANSWER (1 OK, 6 Yes, 7 No); a question with no queued"     \
      " answer fails the script and quotes it, and so does an answer that is not one of its"       \
      " buttons or that no message box takes by the end of the script", Answer)                    \
    X("navigator company-change", "[CODE]",                                                        \
      "the host changes the active company to CODE, or only asks the module whether it may",       \
      CompanyChange)                                                                               \
    X("navigator button", "CODE", "the host's navigator button CODE is pressed (25: media)",       \
      NavigatorButton)                                                                             \
    X("navigator export", "", "the host prepares an export to Office", Export)                     \
    X("navigator layout", "", "the host hands the module its layout model", Layout)                \
    X("navigator script", "", "the host hands the module its script model", ScriptModel)           \
    X("close", "", "the user closes the window the commands act on", Close)                        \
    X("closeform", "", "the host calls `CloseForm`", CloseForm)                                    \
    X("end", "", "the instance ends", End)                                                         \
    X("expect message", "TEXT [flags=N] [title=TEXT]",                                             \
      "the oldest message not yet expected was this one (`~TEXT` matches a message containing"     \
      " TEXT)", ExpectMessage)                                                                     \
    X("expect no-message", "", "no message is left unexpected", ExpectNoMessage)                   \
    X("expect beep", "[N]", "N beeps since the last `expect beep` (default 1)", ExpectBeep)        \
    X("expect field", "CONTROL TEXT", "an edit field or a combo shows TEXT", ExpectField)          \
    X("expect list", "[TEXT...]",                                                                  \
      "the chosen attributes are exactly these, in order (none, or `none`: the empty list)",       \
      ExpectList)                                                                                  \
    X("expect entries", "CONTROL [TEXT...]", "a combo offers exactly these labels, in order",      \
      ExpectEntries)                                                                               \
    X("expect caption", "CONTROL TEXT", "a label or a group box shows the caption TEXT",           \
      ExpectCaption)                                                                               \
    X("expect columns", "[TEXT...]", "the grid's column captions are exactly these, in order",     \
      ExpectColumns)                                                                               \
    X("expect grid", "[ROW...]",                                                                   \
      "the grid shows exactly these lines, each written `cell|cell|cell`", ExpectGrid)             \
    X("expect current", "N", "the record frame's current row", ExpectCurrent)                      \
    X("expect status", "N", "the record frame's status (0 a row, 1 none, 2 new)", ExpectStatus)    \
    X("expect modified", "true|false|True|False", "the record frame's modified flag",              \
      ExpectModified)                                                                              \
    X("expect query", "SQL RESULT", "the query's rows, written `v|v;v|v` (NULL for null)",         \
      ExpectQuery)                                                                                 \
    X("expect transfer", "TEXT",                                                                   \
      "the next structure the host received from \"Esporta\" was TEXT", ExpectTransfer)            \
    X("expect window", "[matrix] open|closed", "whether the criteria (or matrix) window exists",     \
      ExpectWindow)                                                                                \
    X("expect log", "PROCEDURE", "the log received a report naming PROCEDURE", ExpectLog)
// clang-format on

struct CommandEntry {
    std::string_view name;  // one word, or two for "expect ..." and "navigator ..."
    std::string_view syntax;
    std::string_view description;
};

#define DRAVEL_SCRIPT_ENTRY(name, syntax, description, step) {name, syntax, description},
inline constexpr CommandEntry kCommands[] = {DRAVEL_SCRIPT_COMMANDS(DRAVEL_SCRIPT_ENTRY)};
#undef DRAVEL_SCRIPT_ENTRY

// One parsed line of a script.
struct Command {
    int line = 0;                    // 1-based line in the file
    std::vector<std::string> words;  // as written; words[0] is the command
    const CommandEntry* entry = nullptr;
    std::vector<std::string> args;  // the words after the name, options left out
    std::map<std::string, std::string> options;

    // The command's place in kCommands.
    size_t Index() const { return static_cast<size_t>(entry - std::begin(kCommands)); }
};

// The README's table of commands, one row a command, in the table's order.
std::string CommandTableMarkdown();

}  // namespace script
