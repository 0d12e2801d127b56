#include "platform/com/failure.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text/utf8.h"

namespace com {

namespace {

// Read at the first failure only: the trace costs a step that fails one test of a flag.
bool TraceWanted() {
    static const bool wanted = [] {
        const char* value = std::getenv("DRAVEL_TRACE");
        return value && *value && std::string_view(value) != "0";
    }();
    return wanted;
}

}  // namespace

void TraceFailure(SourceLocation where, const ComError& error) noexcept {
    if (!TraceWanted()) return;
    try {
        std::string_view file = where.file_name();
        file.remove_prefix(file.rfind('/') + 1);  // the file's name is enough with the function's
        // The description is escaped: a database's message of several lines stays on this one.
        const std::string line = "dravel trace: " + std::string(where.function_name()) + " (" +
                                 std::string(file) + ":" + std::to_string(where.line()) +
                                 "): error " + std::to_string(error.Number()) + ": " +
                                 txt::Printable(error.Description()) + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);  // one write: lines do not interleave
    } catch (...) {
        // Out of memory: this line is lost; the error itself stays in Err().
    }
}

}  // namespace com
