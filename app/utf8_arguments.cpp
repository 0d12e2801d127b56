#include "app/utf8_arguments.h"

#include "app/language.h"
#include "platform/text/utf8.h"

namespace app {

int RefuseNonUtf8Arguments(const char* program, int argc, char** argv, std::ostream& err) {
    for (int i = 1; i < argc; ++i) {
        if (txt::IsUtf8(argv[i])) continue;
        // Before the options are read: in the locale's language. U+FFFD stands where the
        // argument is not UTF-8.
        SetProgramLanguage(LocaleLanguage());
        err << program << ": "
            << ProgramText("l'argomento \"%1\" non è testo UTF-8: va dato in UTF-8",
                           {txt::Printable(argv[i])})
            << "\n";
        return 2;
    }
    return 0;
}

}  // namespace app
