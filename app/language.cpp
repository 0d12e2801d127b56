#include "app/language.h"

#include <CLI/CLI.hpp>

#include "framework/text_service.h"
#include "platform/com/user_files.h"

namespace app {

namespace {

// The language of a locale or LANGUAGE entry: "en_US.UTF-8" and "en@quot" are "en".
std::string LanguageOf(const std::string& locale) {
    return locale.substr(0, locale.find_first_of("_.@"));
}

framework::TextService& ProgramTexts() {
    static const auto texts = framework::TextService::Create();
    return *texts;
}

}  // namespace

std::string LocaleLanguage() {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (locale = com::Environment(name); !locale.empty()) break;
    const std::string language = LanguageOf(locale);
    if (language.empty() || language == "C" || language == "POSIX") return "it";
    // LANGUAGE is where desktops keep the user's list of languages; one we have no texts for is
    // passed over, as gettext does.
    std::string list = com::Environment("LANGUAGE");
    for (size_t at = 0; at < list.size();) {
        size_t end = std::min(list.find(':', at), list.size());
        const std::string wanted = LanguageOf(list.substr(at, end - at));
        if (wanted == "en" || wanted == "it") return wanted;
        at = end + 1;
    }
    return language == "en" ? "en" : "it";
}

void AddLanguageOption(CLI::App& command, std::string& language) {
    command
        .add_option("--language", language,
                    "language of the texts (default: the locale's, English for en, else Italian)")
        ->check(CLI::IsMember({"it", "en"}));
}

void SetProgramLanguage(const std::string& language) {
    ProgramTexts().SetLanguage(language);
}

std::string ProgramText(const std::string& italian, const std::vector<std::string>& values) {
    // A session makes its own service current and takes it away as it ends: the program's own
    // is made current again for each text.
    ProgramTexts().MakeCurrent();
    return framework::Translated(italian, values);
}

}  // namespace app
