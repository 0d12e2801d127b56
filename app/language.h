#pragma once
// The language of the programs' texts: --language, else the user's locale.

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace app {

// "en" when the user's locale asks for English, else "it" (the source texts). The locale is the
// first of LC_ALL, LC_MESSAGES and LANG that is set. Unless it is C or POSIX, the languages
// listed in LANGUAGE come first, as gettext and Qt read them.
std::string LocaleLanguage();

// Adds --language it|en to a command; `language` holds its default, the locale's.
void AddLanguageOption(CLI::App& command, std::string& language);

// Makes `language` the program's: texts composed outside a session and the line that reports a
// failure use it.
void SetProgramLanguage(const std::string& language);

// An Italian source text in the program's language, with %1, %2, ... replaced by `values`.
std::string ProgramText(const std::string& italian, const std::vector<std::string>& values = {});

}  // namespace app
