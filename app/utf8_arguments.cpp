#include "app/utf8_arguments.h"

#include "platform/text/utf8.h"

namespace app {

int RefuseNonUtf8Arguments(const char* program, int argc, char** argv, std::ostream& err) {
    for (int i = 1; i < argc; ++i) {
        if (txt::IsUtf8(argv[i])) continue;
        // U+FFFD stands where the argument is not UTF-8.
        err << program << ": the argument \"" << txt::Printable(argv[i])
            << "\" is not UTF-8 text; give it in UTF-8\n";
        return 2;
    }
    return 0;
}

}  // namespace app
